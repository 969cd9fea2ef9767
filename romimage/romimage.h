// The generation operations that turn Quorvel V1 image files into the images V2 needs.
#ifndef QUORVEL_ROMIMAGE_ROMIMAGE_H
#define QUORVEL_ROMIMAGE_ROMIMAGE_H

#include "romimage/romfile.h"

// Each operation works on fixed file names in the run's folder, found
// whatever the case of their letters (see RomFile), reports every failure
// and warning to the run, and returns true only when every image of the
// operation has been written and put in place. An image that fails is left
// as it was before the run (see RomImage); those completed before it stay.

// Writes "SUBSYSCG.ROM" and, unless compatibleRom, "SUBSYS_A.ROM" and
// "SUBSYS_B.ROM" from "SUBSYS_C.ROM".
bool GenerateSubsysRom(Run& run, bool compatibleRom);

// Writes "INITIATE.ROM" from "INITIATE.BIN", "BOOT_BAS.ROM" and "BOOT_DOS.ROM".
bool GenerateInitiateRom(Run& run);

// Copies the whole of source into destination, which it replaces whole.
bool CopyRomFile(Run& run, const char* source, const char* destination);

#endif
