// The initiator image "INITIATE.ROM": "INITIATE.BIN", the two boot sectors, zero fill and the closing bytes.
#include "romimage/romfile.h"
#include "romimage/romimage.h"

namespace {

constexpr std::uint64_t kProgramSize = 6144;  // "INITIATE.BIN" is zero-filled up to here
constexpr std::uint64_t kBootSize = 512;      // the part of each boot image that is used
constexpr std::uint64_t kGapSize = 1022;      // zeros between the boot sectors and the closing bytes
constexpr unsigned char kClosingBytes[] = {0x60, 0x00};

constexpr std::uint64_t kImageSize = kProgramSize + 2 * kBootSize + kGapSize + sizeof kClosingBytes;

bool AppendBootImage(const char* name, RomFile& image) {
  RomFile boot(name);
  std::uint64_t taken = 0;
  if (!boot.OpenForReading() || !CopyBytes(boot, image, kBootSize, &taken) || !boot.Close())
    return false;
  if (taken < kBootSize) WarnShortInput(name, taken, kBootSize);
  return true;
}

}  // namespace

bool GenerateInitiateRom() {
  // Created before any input is opened: a missing input leaves the image on
  // disk with what was written up to that point, and nothing is deleted.
  RomFile image("INITIATE.ROM");
  if (!image.Create()) return false;

  std::uint64_t programSize = 0;
  {
    RomFile program("INITIATE.BIN");
    if (!program.OpenForReading() || !CopyToEnd(program, image, &programSize) || !program.Close())
      return false;
  }
  // A longer program is kept whole, and everything after it moves along.
  if (programSize < kProgramSize && !WriteFill(image, 0x00, kProgramSize - programSize)) return false;
  if (programSize > kProgramSize)
    WarnLongInput("INITIATE.BIN", programSize, kProgramSize, "INITIATE.ROM",
                  kImageSize - kProgramSize + programSize, kImageSize);

  return AppendBootImage("BOOT_BAS.ROM", image) && AppendBootImage("BOOT_DOS.ROM", image) &&
         WriteFill(image, 0x00, kGapSize) && image.Write(kClosingBytes, sizeof kClosingBytes) &&
         image.Close();
}
