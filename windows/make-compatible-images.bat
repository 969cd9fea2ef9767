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
rem In Japanese where the console uses code page 932, as the other file says it.
set "codepage=0"
for /f "tokens=2 delims=:" %%C in ('chcp') do set "codepage=%%C"
set "codepage=%codepage: =%"
set "codepage=%codepage:.=%"
if not "%codepage%"=="0" goto codepage_known
for /f "tokens=3" %%C in ('reg query "HKLM\SYSTEM\CurrentControlSet\Control\Nls\CodePage" /v OEMCP 2^>nul') do set "codepage=%%C"
:codepage_known
if "%codepage%"=="932" goto unpack_ja
echo make-v2-images.bat is not beside this file. Unpack the whole zip into a
echo folder first, then run make-compatible-images.bat from that folder.
goto unpacked
:unpack_ja
echo make-v2-images.bat がこのファイルと同じフォルダーにありません。zip 全体を
echo フォルダーに展開してから、そのフォルダーの make-compatible-images.bat を実行してください。
:unpacked
rem Waits for a key only when Explorer started this file, as the other does.
set "line=%CMDCMDLINE:"=|%"
if "%line:\make-compatible-images.bat|=%"=="%line%" exit /b 1
echo.
pause
exit 1
