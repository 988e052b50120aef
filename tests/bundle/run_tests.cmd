@echo off
rem Runs Tessark's test programs that lie beside this file, each writing its
rem JUnit XML (and its output, NAME.txt) into RESULTS_DIR, by default the
rem folder "results" beside this file. Ends with the line "N passed, N failed"
rem (and ", N skipped" when cases were skipped) and exit code 1 on any
rem failure. A program that ends without its XML counts as one failure.
rem Usage: run_tests.cmd [RESULTS_DIR]
setlocal EnableExtensions DisableDelayedExpansion
rem Windows' own find: MSYS2's or Git's may come first in PATH.
set "find=%SystemRoot%\System32\find.exe"
set "here=%~dp0"
set "results=%~f1"
if "%~1"=="" set "results=%here%results"
if not exist "%results%\" mkdir "%results%"
pushd "%results%"
if errorlevel 1 goto :no_results
rem The programs take their arguments and write their XML in the ANSI code
rem page, which may not hold every character of the folder's name (Japanese
rem on an English Windows): they get its short name, made of ASCII. A volume
rem without short names gives the long name back, so a program tries the
rem folder first; where it cannot write there, the XML goes to a scratch
rem folder under %TEMP%'s short name and is copied here at the end.
set "scratch="
for %%d in (.) do set "xml_dir=%%~fsd"
call :writable "%xml_dir%"
if not errorlevel 1 goto :run_all
for %%v in ("%TEMP%") do set "scratch=%%~fsv\tessark-results-%RANDOM%"
if not exist "%scratch%\" mkdir "%scratch%"
set "xml_dir=%scratch%"
call :writable "%xml_dir%"
if not errorlevel 1 goto :run_all
rd /s /q "%scratch%" 2>nul
popd
echo the test programs cannot write their XML into "%results%" nor into "%TEMP%":
echo name a results folder whose path is ASCII
echo 0 passed, 1 failed
exit /b 1

:run_all
set passed=0
set failed=0
set skipped=0
call :run core_tests
call :run win32_tests
if not defined scratch goto :summary
copy /y "%scratch%\*.xml" . >nul
rd /s /q "%scratch%"
:summary
popd
set "summary=%passed% passed, %failed% failed"
if %skipped% gtr 0 set "summary=%summary%, %skipped% skipped"
echo %summary%
if %failed% gtr 0 exit /b 1
if %passed% equ 0 exit /b 1
exit /b 0

:no_results
echo cannot write the results into "%results%"
echo 0 passed, 1 failed
exit /b 1

rem :writable DIR  exit code 0 when the test programs can write their XML
rem into DIR, tried with an empty test list.
:writable
if not exist "%here%core_tests.exe" exit /b 0
if exist "%~1\probe.xml" del "%~1\probe.xml"
"%here%core_tests.exe" --gtest_list_tests "--gtest_filter=-*" "--gtest_output=xml:%~1\probe.xml" >nul 2>&1
if not exist "%~1\probe.xml" exit /b 1
del "%~1\probe.xml"
exit /b 0

rem :run NAME  runs NAME.exe and adds its cases to the totals, counted from
rem the head of its XML, <testsuites tests="N" failures="N" disabled="N"
rem errors="N" ...>, and the skipped cases from each <testsuite name="S"
rem tests="N" failures="N" disabled="N" skipped="N" ...>. The XML, not the
rem output: a process that the program started may still hold its output
rem file open. The lines go into a file first: a command in "for /f" would
rem leave temporary files behind under Wine.
:run
set p=0
set f=0
set s=0
if exist "%xml_dir%\%~1.xml" del "%xml_dir%\%~1.xml"
"%here%%~1.exe" "--gtest_output=xml:%xml_dir%\%~1.xml" >"%~1.txt" 2>&1
set code=%errorlevel%
if not exist "%xml_dir%\%~1.xml" goto :died
set tests=
"%find%" "<testsuites " <"%xml_dir%\%~1.xml" >"%~1.count"
for /f "usebackq tokens=3,5,7,9 delims== " %%a in ("%~1.count") do (
  set tests=%%~a
  set f=%%~b
  set disabled=%%~c
  set errors=%%~d
)
"%find%" "<testsuite " <"%xml_dir%\%~1.xml" >"%~1.count"
for /f "usebackq tokens=11 delims== " %%a in ("%~1.count") do set /a s+=%%~a
del "%~1.count"
if "%tests%"=="" goto :died
set /a f+=errors
set /a p=tests-f-disabled-s
if not %code%==0 if %f%==0 set f=1
goto :counted
:died
set p=0
set f=1
set s=0
:counted
set "line=%~1: %p% passed, %f% failed"
if not %s%==0 set "line=%line%, %s% skipped"
echo %line% (exit code %code%)
if not %f%==0 "%find%" "[  FAILED  ]" <"%~1.txt"
set /a passed+=p
set /a failed+=f
set /a skipped+=s
goto :eof
