// Another program that holds an image open, in the Windows tests under Wine:
// opens FILE as a program that reads it would, letting others read it
// (SHARE "r") or read and write it (SHARE "rw") but never delete or rename
// it, runs one command line while it holds the file, and ends with that
// command's exit status.
#include <windows.h>

#include <string>

#include "command-line.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 2;
  const std::wstring share = argv[1];
  const DWORD mode = share == L"rw" ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
  HANDLE held =
      CreateFileW(argv[2], GENERIC_READ, mode, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (held == INVALID_HANDLE_VALUE) return 3;
  const int status = RunCommandLine(argv[3]);
  CloseHandle(held);
  return status;
}
