@echo off
rem Makes SUBSYSCG.ROM and INITIATE.ROM only (quorvel-v2gen -compatiblerom),
rem leaving SUBSYS_A.ROM and SUBSYS_B.ROM as they are; otherwise the same as
rem make-v2-images.bat, which does the work. It hands over without "call",
rem which would double the carets and percent signs of a quoted name; the
rem status of make-v2-images.bat reaches whoever called this file.
if not exist "%~dp0make-v2-images.bat" goto unpack
"%~dp0make-v2-images.bat" -compatiblerom %*

:unpack
echo.
echo make-v2-images.bat is not beside this file. Unpack the whole zip into a
echo folder first, then run make-compatible-images.bat from that folder.
rem Waits for a key only when Explorer started this file, as the other does.
set "line=%CMDCMDLINE:"=|%"
if "%line:\make-compatible-images.bat|=%"=="%line%" exit /b 1
echo.
pause
exit 1
