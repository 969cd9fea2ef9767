@echo off
rem Makes the V2 images with quorvel-v2gen.exe, which stands beside this
rem file, in the folder of the V1 dumps: the folder dropped on this file, the
rem folder of a file dropped on it (one or all four dumps), or, with nothing
rem dropped, the folder of this file. Started by Explorer (a drop or a
rem double-click), the window waits for a key, so that the outcome can be
rem read; called from a script or typed in a console, it never waits. Either
rem way the tool's exit status is this file's.
rem make-compatible-images.bat hands over to it with -compatiblerom first.
rem
rem A folder's name may hold & ( ) ! ^ % , ; = and spaces, so a name is
rem expanded only inside quotes or as a FOR variable, where cmd never parses
rem it as a command, and there are no ( ) blocks for a name to close.
rem
rem Its lines are in Japanese where the console shows code page 932, and in
rem English elsewhere. This file is kept in UTF-8; the build makes the
rem shipped one in code page 932, the encoding in which cmd reads it there.
setlocal DisableDelayedExpansion
call :language
set "tool=%~dp0quorvel-v2gen.exe"
set "home=%~dp0"
set "launcher=%~nx0"
set "switch="
if /i not "%~1"=="-compatiblerom" goto chosen
set "switch=-compatiblerom"
set "launcher=make-compatible-images.bat"
shift
:chosen
set "given=%~f1"

rem Explorer starts a launcher as  cmd /c ""C:\...\launcher.bat" DROPPED"
rem where DROPPED holds each path quoted only when it has a space. cmd then
rem splits that line at an unquoted "&", so a folder named R&D reaches %1 as
rem R; the line itself, with its quotes made "|" (no name holds one), still
rem has it whole. A console or a script starts cmd otherwise, or names itself.
set "line=%CMDCMDLINE:"=|%"
set "explorer="
set "dropped=%line:*\make-v2-images.bat| =%"
if "%launcher%"=="make-compatible-images.bat" set "dropped=%line:*\make-compatible-images.bat| =%"
if "%dropped%"=="%line%" goto located
set "explorer=yes"
rem Up to the closing quote; of several paths, the first (they share a folder).
set "dropped=%dropped:~0,-1%"
set "given="
if "%dropped:~0,1%"=="|" goto quoted
for /f "tokens=1 delims=| " %%P in ("%dropped%") do set "given=%%P"
goto located
:quoted
for /f "tokens=1 delims=|" %%P in ("%dropped%") do set "given=%%P"

:located
if not exist "%tool%" goto unpack
set "folder=%home%"
if not defined given goto run
set "folder=%given%"
if exist "%given%\*" goto run
for %%P in ("%given%") do set "folder=%%~dpP"
if exist "%given%" goto run
echo.
if "%language%"=="ja" goto not_found_ja
echo Cannot find "%given%": it is neither a folder nor a file.
echo Drop the folder of your V1 dumps, or one of the dumps, on this file.
set status=1
goto end
:not_found_ja
echo "%given%" が見つかりません。フォルダーでもファイルでもありません。
echo V1 のダンプがあるフォルダーか、ダンプの一つをこのファイルにドロップしてください。
set status=1
goto end

:run
rem pushd, unlike cd, also enters a network folder (\\server\share\dumps).
pushd "%folder%" 2> nul
if errorlevel 1 goto cannot_enter
if "%language%"=="ja" goto folder_ja
for %%P in (.) do echo Folder: %%~fP
goto folder_said
:folder_ja
for %%P in (.) do echo フォルダー：%%~fP
:folder_said
echo.
"%tool%" %switch%
set status=%errorlevel%
popd
goto end

:cannot_enter
echo.
if "%language%"=="ja" goto cannot_enter_ja
echo Cannot open the folder "%folder%".
set status=1
goto end
:cannot_enter_ja
echo フォルダー "%folder%" を開けません。
set status=1
goto end

:unpack
echo.
if "%language%"=="ja" goto unpack_ja
echo quorvel-v2gen.exe is not beside this file. Unpack the whole zip into a
echo folder first, then run %launcher% from that folder.
set status=1
goto end
:unpack_ja
echo quorvel-v2gen.exe がこのファイルと同じフォルダーにありません。zip 全体を
echo フォルダーに展開してから、そのフォルダーの %launcher% を実行してください。
set status=1

:end
if not defined explorer exit /b %status%
echo.
pause
rem exit, not exit /b: it ends the cmd that Explorer started, so that nothing
rem of a dropped name that cmd split off is ever run after this file.
exit %status%

rem Sets language to ja where the console uses code page 932, else to en:
rem chcp's number, or where it gives none (Wine, with no console) the
rem system's OEM code page, which a console starts with.
:language
set "language=en"
set "codepage=0"
for /f "tokens=2 delims=:" %%C in ('chcp') do set "codepage=%%C"
set "codepage=%codepage: =%"
set "codepage=%codepage:.=%"
if not "%codepage%"=="0" goto codepage_known
for /f "tokens=3" %%C in ('reg query "HKLM\SYSTEM\CurrentControlSet\Control\Nls\CodePage" /v OEMCP 2^>nul') do set "codepage=%%C"
:codepage_known
if "%codepage%"=="932" set "language=ja"
exit /b 0
