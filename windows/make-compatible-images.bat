@echo off
rem Makes SUBSYSCG.ROM and INITIATE.ROM only (quorvel-v2gen -compatiblerom),
rem leaving SUBSYS_A.ROM and SUBSYS_B.ROM as they are; otherwise the same as
rem make-v2-images.bat, which does the work.
call "%~dp0make-v2-images.bat" -compatiblerom %*
exit /b %errorlevel%
