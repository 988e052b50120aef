// Reopen: a note's table read through the string loader, its text from its name.
#include "editor/builder/note_reopen_win.h"
#include "common/note_name_codec_win.h"
#include "common/note_settings_table_win.h"

namespace {

wchar_t* W(char16_t* s) { return reinterpret_cast<wchar_t*>(s); }

size_t read_module_entry(void* module, int id, char16_t* buf, size_t cap) {
  return note_setting(static_cast<HINSTANCE>(module), id, W(buf), static_cast<int>(cap));
}

// The note mapped as image resources, or null. The loader takes no path of
// MAX_PATH units or more, which a note on the desktop can have: such a note
// is mapped through its short path (asked for in the extended form, which
// has no length limit).
HMODULE map_note(const wchar_t* path) {
  const DWORD flags = LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE;
  HMODULE module = LoadLibraryExW(path, nullptr, flags);
  bool drive_path = path[0] && path[1] == L':' && path[2] == L'\\';
  if (module || !drive_path || lstrlenW(path) < MAX_PATH) return module;
  wchar_t extended[NOTE_PATH_UNITS + 4] = L"\\\\?\\";
  lstrcpynW(extended + 4, path, NOTE_PATH_UNITS);
  wchar_t short_path[MAX_PATH];
  DWORD units = GetShortPathNameW(extended, short_path, MAX_PATH);
  return units > 0 && units < MAX_PATH ? LoadLibraryExW(short_path, nullptr, flags) : nullptr;
}

// The note's text from its file name: extension cut, escapes undone.
void note_text_of(const wchar_t* path, wchar_t* text) {
  wchar_t name[NOTE_TEXT_UNITS];
  lstrcpynW(name, path_file_name_win(path), NOTE_TEXT_UNITS);
  strip_extension_win(name);
  unescape_note_name(reinterpret_cast<const char16_t*>(name), reinterpret_cast<char16_t*>(text));
}

}  // namespace

bool read_note_file(const wchar_t* given, ReopenedNoteFile* out) {
  // A relative path (a bare name on the command line) is made full: the
  // loader would search other folders for it, and a correction would later
  // resolve it against another current folder.
  wchar_t path[NOTE_PATH_UNITS];
  DWORD units = GetFullPathNameW(given, NOTE_PATH_UNITS, path, nullptr);
  if (units == 0 || units >= NOTE_PATH_UNITS) lstrcpynW(path, given, NOTE_PATH_UNITS);
  HMODULE module = map_note(path);
  if (!module) return false;
  NoteTableReader reader = {module, read_module_entry};
  bool complete = read_reopened_note(reader, &out->note);
  FreeLibrary(module);
  if (!complete) return false;
  note_text_of(path, out->text);
  lstrcpynW(out->path, path, NOTE_PATH_UNITS);
  return true;
}
