// The generation operations that turn Quorvel V1 image files into the images V2 needs.
#ifndef QUORVEL_ROMIMAGE_ROMIMAGE_H
#define QUORVEL_ROMIMAGE_ROMIMAGE_H

// Each operation works on fixed file names in the current working directory,
// found whatever the case of their letters (see RomFile), writes one line to
// standard error for every failure it meets, and returns true only when
// every image of the operation has been written and closed.

// Writes "SUBSYSCG.ROM" and, unless compatibleRom, "SUBSYS_A.ROM" and
// "SUBSYS_B.ROM" from "SUBSYS_C.ROM".
bool GenerateSubsysRom(bool compatibleRom);

// Writes "INITIATE.ROM" from "INITIATE.BIN", "BOOT_BAS.ROM" and "BOOT_DOS.ROM".
bool GenerateInitiateRom();

// Copies the whole of source into destination, created or truncated.
bool CopyRomFile(const char* source, const char* destination);

#endif
