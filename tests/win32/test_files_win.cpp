// The built programs beside the test program or named on its command line,
// and the run's scratch folder with its removal at the end of the run.
#include "test_files.h"
#include <gtest/gtest.h>
#include <shellapi.h>
#include <deque>
#include <vector>

namespace {

std::wstring folder_of_this_program() {
  wchar_t path[MAX_PATH * 4];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  std::wstring folder(path, n);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

bool is_file(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The --test-file=PATH argument whose file name is NAME, or "".
std::wstring named_on_command_line(const wchar_t* name) {
  static const wchar_t FLAG[] = L"--test-file=";
  const size_t flag_units = sizeof FLAG / sizeof FLAG[0] - 1;
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  std::wstring found;
  for (int i = 1; args && i < count && found.empty(); ++i) {
    std::wstring arg = args[i];
    if (arg.compare(0, flag_units, FLAG) != 0) continue;
    std::wstring path = arg.substr(flag_units);
    if (lstrcmpiW(path.substr(path.find_last_of(L"\\/") + 1).c_str(), name) == 0) found = path;
  }
  LocalFree(args);
  return found;
}

// Deletes FOLDER with everything in it, read-only files included; false when
// anything is left.
bool remove_tree(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = folder + L"\\" + name;
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
          !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        remove_tree(path);
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
  }
  SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  return RemoveDirectoryW(folder.c_str()) != FALSE;
}

// Every path still under FOLDER, one a line, folders with a trailing "\\".
std::wstring what_is_left(const std::wstring& folder) {
  std::wstring left;
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return left;
  do {
    std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    std::wstring path = folder + L"\\" + name;
    bool tree = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
    left += path + (tree ? L"\\\n" + what_is_left(path) : L"\n");
  } while (FindNextFileW(find, &entry));
  FindClose(find);
  return left;
}

// %TEMP% as the shell names it: the long form, so that paths the tests form
// compare equal to the ones the shell reports (on the hosted Windows runners
// %TEMP% is a short 8.3 path).
std::wstring scratch_root() {
  static std::wstring root;
  if (!root.empty()) return root;
  wchar_t temp[MAX_PATH + 1], long_temp[MAX_PATH * 4];
  GetTempPathW(MAX_PATH + 1, temp);
  DWORD units = GetLongPathNameW(temp, long_temp, MAX_PATH * 4);
  root = units && units < MAX_PATH * 4 ? long_temp : temp;
  if (root.back() != L'\\') root += L'\\';
  root += L"tessark-tests-" + std::to_wstring(GetCurrentProcessId());
  return root;
}

std::vector<HMODULE>& modules_to_unmap() {
  static std::vector<HMODULE> modules;
  return modules;
}

// Removes the scratch folder once every test has run; a folder that stays
// fails the run, since the tests promise to leave nothing behind.
class ScratchFolder : public ::testing::Environment {
 public:
  void TearDown() override {
    for (HMODULE module : modules_to_unmap()) FreeLibrary(module);
    modules_to_unmap().clear();
    std::wstring root = scratch_root();
    if (GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    // Explorer, the indexer or a shell watcher may hold a handle a moment
    // longer: a removal that fails is tried again for a few seconds.
    for (int tries = 1; !remove_tree(root); ++tries) {
      if (tries == 50) {
        std::wstring left = what_is_left(root);
        ADD_FAILURE() << "the scratch folder " << root << " could not be removed; left in it:\n"
                      << (left.empty() ? L"nothing: the folder itself is held open" : left);
        return;
      }
      Sleep(100);
    }
  }
};

::testing::Environment* const scratch_cleanup = ::testing::AddGlobalTestEnvironment(new ScratchFolder);

}  // namespace

const wchar_t* tessark_test_file(const wchar_t* name) {
  // Stable storage for the returned strings; each name is looked up once.
  static std::deque<std::pair<std::wstring, std::wstring>> known;
  for (const auto& k : known)
    if (k.first == name) return k.second.c_str();
  std::wstring path = folder_of_this_program() + name;
  if (!is_file(path)) {
    std::wstring given = named_on_command_line(name);
    if (!given.empty()) path = given;
  }
  known.emplace_back(name, path);
  return known.back().second.c_str();
}

std::wstring scratch_folder(const std::wstring& name) {
  std::wstring root = scratch_root();
  CreateDirectoryW(root.c_str(), nullptr);
  std::wstring dir = root + L"\\" + name;
  CreateDirectoryW(dir.c_str(), nullptr);
  return dir;
}

HMODULE unmap_at_end(HMODULE module) {
  if (module) modules_to_unmap().push_back(module);
  return module;
}
