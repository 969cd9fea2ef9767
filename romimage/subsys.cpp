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
  const auto subsysC = OpenRomInput(run, "SUBSYS_C.ROM");
  if (!subsysC) return false;

  Taken characters;  // what the input holds of the first 2048 bytes, seen on the first copy
  {
    const auto subsysCg = CreateRomImage(run, "SUBSYSCG.ROM");
    if (!subsysCg) return false;
    for (int copy = 0; copy < kCharacterCopies; ++copy) {
      if (!subsysC->Seek(0) ||
          !CopyBytes(*subsysC, *subsysCg, kCharacterSize, copy == 0 ? &characters : nullptr))
        return false;
    }
    if (!subsysCg->Commit()) return false;
  }

  // The compatible set keeps the user's own "SUBSYS_A.ROM" and "SUBSYS_B.ROM".
  if (compatibleRom) {
    if (characters.count < kCharacterSize)
      WarnShortInput(run, subsysC->Name(), characters.count, kCharacterSize);
    if (characters.Blank()) WarnBlankInput(run, subsysC->Name(), 0, characters);
    return subsysC->Close();
  }

  std::string subsysAName;
  Taken subsys;
  {
    const auto subsysA = CreateRomImage(run, "SUBSYS_A.ROM");
    if (!subsysA) return false;
    if (!subsysC->Seek(kCharacterSize) || !CopyBytes(*subsysC, *subsysA, kSubsysSize, &subsys)) return false;
    if (!subsysA->Commit() || !subsysC->Close()) return false;
    subsysAName = subsysA->Name();
  }
  // Short of the whole range, the two counts add up to the input's size.
  if (characters.count + subsys.count < kCharacterSize + kSubsysSize)
    WarnShortInput(run, subsysC->Name(), characters.count + subsys.count, kCharacterSize + kSubsysSize);
  // The character generator and sub-system A are separate parts of the dump, each blank or not.
  if (characters.Blank()) WarnBlankInput(run, subsysC->Name(), 0, characters);
  if (subsys.Blank()) WarnBlankInput(run, subsysC->Name(), kCharacterSize, subsys);

  // Read back from disk, so "SUBSYS_B.ROM" is whatever "SUBSYS_A.ROM" really holds.
  return CopyRomFile(run, subsysAName.c_str(), "SUBSYS_B.ROM");
}

bool CopyRomFile(Run& run, const char* source, const char* destination) {
  const auto input = OpenRomInput(run, source);
  if (!input) return false;
  const auto output = CreateRomImage(run, destination);
  if (!output) return false;
  Taken copied;
  return CopyToEnd(*input, *output, &copied) && input->Close() && output->Commit();
}
