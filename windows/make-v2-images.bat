@echo off
rem Makes the V2 images with quorvel-v2gen.exe, which stands beside this
rem file, in the folder of the V1 dumps: the folder dropped on this file, the
rem folder of a file dropped on it (one or all four dumps), or, with nothing
rem dropped, the folder of this file. The window waits for a key, so that the
rem outcome can be read, and the tool's exit status is this file's.
rem make-compatible-images.bat calls it with -compatiblerom first.
setlocal
set "tool=%~dp0quorvel-v2gen.exe"
set "switch="
if /i not "%~1"=="-compatiblerom" goto chosen
set "switch=-compatiblerom"
shift
:chosen
set "folder=%~dp0"
if "%~1"=="" goto run
set "folder=%~f1"
if exist "%~f1\*" goto run
set "folder=%~dp1"
if exist "%~f1" goto run
echo.
echo Cannot find "%~f1": it is neither a folder nor a file.
echo Drop the folder of your V1 dumps, or one of the dumps, on this file.
echo.
pause
exit /b 1

:run
cd /d "%folder%"
if errorlevel 1 goto cannot_enter
echo Folder: %cd%
echo.
"%tool%" %switch%
set status=%errorlevel%
echo.
pause
exit /b %status%

:cannot_enter
echo.
echo Cannot open the folder "%folder%".
echo.
pause
exit /b 1
