// A stand-in for Explorer and for a script, in the launchers' tests under
// Wine: starts one command line exactly as given, as Explorer starts a
// dropped-on batch file (cmd /c ""C:\...\launcher.bat" C:\R&D"), and ends
// with its exit status. Wine's cmd has no CMDCMDLINE of its own, so the
// variable is set here to that line, which is what Windows' cmd reports.
#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  std::wstring line = argv[1];
  if (!SetEnvironmentVariableW(L"CMDCMDLINE", line.c_str())) return 3;
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
