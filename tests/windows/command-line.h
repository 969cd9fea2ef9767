// What the Windows test helpers share: starting one command line exactly as
// given, with the helper's standard handles, and waiting for its status.
#ifndef QUORVEL_TESTS_WINDOWS_COMMAND_LINE_H
#define QUORVEL_TESTS_WINDOWS_COMMAND_LINE_H

#include <windows.h>

#include <string>

// The command's exit status, or 4 when it cannot be started.
inline int RunCommandLine(std::wstring line) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
    return 4;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 4;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}

#endif
