// The sub-system images: "SUBSYSCG.ROM", "SUBSYS_A.ROM" and "SUBSYS_B.ROM" from "SUBSYS_C.ROM".
#include "romimage/romfile.h"
#include "romimage/romimage.h"

namespace {

// "SUBSYS_C.ROM" holds the character generator in its first 2048 bytes and
// sub-system A in the 8192 bytes after it.
constexpr std::uint64_t kCharacterSize = 2048;
constexpr int kCharacterCopies = 4;
constexpr std::uint64_t kSubsysSize = 8192;

}  // namespace

bool GenerateSubsysRom(Run& run, bool compatibleRom) {
  RomFile subsysC(run, "SUBSYS_C.ROM");
  if (!subsysC.OpenForReading()) return false;

  RomFile subsysCg(run, "SUBSYSCG.ROM");
  if (!subsysCg.Create()) return false;
  Taken characters;  // what the input holds of the first 2048 bytes, seen on the first copy
  for (int copy = 0; copy < kCharacterCopies; ++copy) {
    if (!subsysC.Seek(0) || !CopyBytes(subsysC, subsysCg, kCharacterSize, copy == 0 ? &characters : nullptr))
      return false;
  }
  if (!subsysCg.Close()) return false;

  // The compatible set keeps the user's own "SUBSYS_A.ROM" and "SUBSYS_B.ROM".
  if (compatibleRom) {
    if (characters.count < kCharacterSize)
      WarnShortInput(run, subsysC.Name(), characters.count, kCharacterSize);
    if (characters.Blank()) WarnBlankInput(run, subsysC.Name(), 0, characters);
    return subsysC.Close();
  }

  RomFile subsysA(run, "SUBSYS_A.ROM");
  if (!subsysA.Create()) return false;
  Taken subsys;
  if (!subsysC.Seek(kCharacterSize) || !CopyBytes(subsysC, subsysA, kSubsysSize, &subsys)) return false;
  if (!subsysA.Close() || !subsysC.Close()) return false;
  // Short of the whole range, the two counts add up to the input's size.
  if (characters.count + subsys.count < kCharacterSize + kSubsysSize)
    WarnShortInput(run, subsysC.Name(), characters.count + subsys.count, kCharacterSize + kSubsysSize);
  // The character generator and sub-system A are separate parts of the dump, each blank or not.
  if (characters.Blank()) WarnBlankInput(run, subsysC.Name(), 0, characters);
  if (subsys.Blank()) WarnBlankInput(run, subsysC.Name(), kCharacterSize, subsys);

  // Read back from disk, so "SUBSYS_B.ROM" is whatever "SUBSYS_A.ROM" really holds.
  return CopyRomFile(run, subsysA.Name(), "SUBSYS_B.ROM");
}

bool CopyRomFile(Run& run, const char* source, const char* destination) {
  RomFile input(run, source);
  if (!input.OpenForReading()) return false;
  RomFile output(run, destination);
  if (!output.Create()) return false;
  Taken copied;
  return CopyToEnd(input, output, &copied) && input.Close() && output.Close();
}
