// Where the Win32 tests find the built programs they read, and where they
// keep the files they make: a scratch folder of the run, removed at its end.
#pragma once
#include <windows.h>
#include <string>

// The path of a built program the tests read, by file name ("Tessark.exe"):
// beside this test program when it lies there (the test bundle), else the
// one named by a --test-file=PATH argument (the build tree's CTest passes
// them). Never null; when neither exists, the path beside this program, so
// that a failure names where the file was looked for.
const wchar_t* tessark_test_file(const wchar_t* name);

// The folder NAME in this run's scratch folder under %TEMP%, created on first
// use; the same NAME gives the same folder. The whole scratch folder is
// removed when the run ends.
std::wstring scratch_folder(const std::wstring& name);

// Keeps MODULE (mapped from a scratch file) until the run ends, then unmaps
// it before the scratch folder is removed: Windows deletes no mapped file.
HMODULE unmap_at_end(HMODULE module);
