// The initiator image "INITIATE.ROM": "INITIATE.BIN", the two boot sectors, zero fill and the closing bytes.
#include "romimage/romfile.h"
#include "romimage/romimage.h"

namespace {

constexpr std::uint64_t kProgramSize = 6144;  // "INITIATE.BIN" is zero-filled up to here
constexpr std::uint64_t kBootSize = 512;      // the part of each boot image that is used
constexpr std::uint64_t kGapSize = 1022;      // zeros between the boot sectors and the closing bytes
constexpr unsigned char kClosingBytes[] = {0x60, 0x00};
constexpr std::uint64_t kLookedAt =
    std::uint64_t{64} * 1024;  // of the program, before the kernel copies the rest

constexpr std::uint64_t kImageSize = kProgramSize + 2 * kBootSize + kGapSize + sizeof kClosingBytes;

// *taken keeps the bytes used, so that the two boot images can be compared;
// *onDisk the name that the image was found under.
bool AppendBootImage(Run& run, const char* name, RomImage& image, Taken* taken, std::string* onDisk) {
  const auto boot = OpenRomInput(run, name);
  if (!boot || !CopyBytes(*boot, image, kBootSize, taken) || !boot->Close()) return false;
  *onDisk = boot->Name();
  if (taken->count < kBootSize) WarnShortInput(run, boot->Name(), taken->count, kBootSize);
  if (taken->Blank()) WarnBlankInput(run, boot->Name(), 0, *taken);
  return true;
}

}  // namespace

bool GenerateInitiateRom(Run& run) {
  // Started before any input is opened, so that an image that cannot be
  // written is said first; until the commit at the end, the old image stays.
  const auto image = CreateRomImage(run, "INITIATE.ROM");
  if (!image) return false;

  // The first bytes of the program, more than its usual size, pass through
  // here, where they are looked at; the kernel copies whatever a longer one
  // holds past them. A whole number of pages: the kernel's copy from an
  // offset within a page is slower by a third.
  Taken program;
  std::string programName;
  {
    const auto file = OpenRomInput(run, "INITIATE.BIN");
    if (!file || !CopyUpTo(*file, *image, kLookedAt, &program) ||
        (program.count == kLookedAt && !CopyToEnd(*file, *image, &program)) || !file->Close())
      return false;
    programName = file->Name();
  }
  const std::uint64_t programSize = program.count;
  // A longer program is kept whole, and everything after it moves along.
  if (programSize < kProgramSize && !WriteFill(*image, 0x00, kProgramSize - programSize)) return false;
  if (programSize > kProgramSize)
    WarnLongInput(run, programName.c_str(), programSize, kProgramSize, image->Name(),
                  kImageSize - kProgramSize + programSize, kImageSize);
  if (program.Blank()) WarnBlankInput(run, programName.c_str(), 0, program);

  Taken basic(kBootSize);
  Taken dos(kBootSize);
  std::string basicName, dosName;
  if (!AppendBootImage(run, "BOOT_BAS.ROM", *image, &basic, &basicName) ||
      !AppendBootImage(run, "BOOT_DOS.ROM", *image, &dos, &dosName))
    return false;
  // Both blank is said already; an empty one is said by its size.
  if (!dos.Blank() && basic.count > 0 && basic.kept == dos.kept)
    WarnSameInput(run, dosName.c_str(), basicName.c_str(), dos);

  return WriteFill(*image, 0x00, kGapSize) && image->Write(kClosingBytes, sizeof kClosingBytes) &&
         image->Commit();
}
