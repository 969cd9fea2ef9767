// A stand-in for Explorer and for a script, in the launchers' tests under
// Wine: starts one command line exactly as given, as Explorer starts a
// dropped-on batch file (cmd /c ""C:\...\launcher.bat" C:\R&D"), and ends
// with its exit status. Wine's cmd has no CMDCMDLINE of its own, so the
// variable is set here to that line, which is what Windows' cmd reports.
#include <windows.h>

#include "command-line.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  if (!SetEnvironmentVariableW(L"CMDCMDLINE", argv[1])) return 3;
  return RunCommandLine(argv[1]);
}
