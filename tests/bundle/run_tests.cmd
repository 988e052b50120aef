@echo off
rem Runs Tessark's test programs that lie beside this file, each writing its
rem JUnit XML (and its output, NAME.txt) into RESULTS_DIR, by default the
rem folder "results" beside this file. Ends with the line "N passed, N failed"
rem and exit code 1 on any failure. A program that ends without its XML
rem counts as one failure.
rem Usage: run_tests.cmd [RESULTS_DIR]
setlocal EnableExtensions
set "here=%~dp0"
set "results=%~f1"
if "%~1"=="" set "results=%here%results"
if not exist "%results%" mkdir "%results%"
pushd "%results%"
if errorlevel 1 goto :no_results
rem The programs take their arguments and write their XML in the ANSI code
rem page, which may not hold every character of the folder's name (Japanese
rem on an English Windows): they get its short name, made of ASCII.
for %%d in (.) do set "xml_dir=%%~fsd"
set passed=0
set failed=0
call :run core_tests
call :run win32_tests
popd
echo %passed% passed, %failed% failed
if %failed% gtr 0 exit /b 1
if %passed% equ 0 exit /b 1
exit /b 0

:no_results
echo cannot write the results into %results%
echo 0 passed, 1 failed
exit /b 1

rem :run NAME  runs NAME.exe and adds its cases to the totals, counted from
rem the head of its XML, <testsuites tests="N" failures="N" disabled="N"
rem errors="N" ...>. The XML, not the output: a process that the program
rem started may still hold its output file open. The head goes into a file
rem first: a command in "for /f" would leave temporary files behind under Wine.
:run
set p=0
set f=0
if exist "%~1.xml" del "%~1.xml"
"%here%%~1.exe" "--gtest_output=xml:%xml_dir%\%~1.xml" >"%~1.txt" 2>&1
set code=%errorlevel%
if not exist "%~1.xml" goto :died
set tests=
find "<testsuites " <"%~1.xml" >"%~1.count"
for /f "usebackq tokens=3,5,7,9 delims== " %%a in ("%~1.count") do (
  set tests=%%~a
  set f=%%~b
  set disabled=%%~c
  set errors=%%~d
)
del "%~1.count"
if "%tests%"=="" goto :died
set /a f+=errors
set /a p=tests-f-disabled
if not %code%==0 if %f%==0 set f=1
goto :counted
:died
set p=0
set f=1
:counted
echo %~1: %p% passed, %f% failed (exit code %code%)
if not %f%==0 find "[  FAILED  ]" <"%~1.txt"
set /a passed+=p
set /a failed+=f
goto :eof
