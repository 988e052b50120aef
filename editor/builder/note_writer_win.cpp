// Output of a note: template copy and resource update in a file of its own,
// flushed and then put in the note's place in one move.
#include "editor/builder/note_writer_win.h"
#include <shlobj.h>
#include <cwchar>
#include "common/note_name_codec_win.h"
#include "common/note_settings_table.h"
#include "common/text16.h"
#include "editor/builder/icon_composer_win.h"

namespace {

const WORD NEUTRAL = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);

const char16_t* U(const wchar_t* s) { return reinterpret_cast<const char16_t*>(s); }

bool fail(NoteWriteResult* out, NoteWriteFailure failure) {
  out->failure = failure;
  return false;
}

// The note template copied into a heap buffer (HeapFree by the caller), or null.
uint8_t* copy_note_template(HINSTANCE instance, DWORD* size) {
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(NOTE_TEMPLATE_ID), L"VEMTO");
  if (!found) return nullptr;
  HGLOBAL loaded = LoadResource(instance, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  *size = SizeofResource(instance, found);
  if (!bytes || *size == 0) return nullptr;
  uint8_t* copy = static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, *size));
  if (copy) CopyMemory(copy, bytes, *size);
  return copy;
}

// Another program (a virus scanner, an indexer, a sync client) may hold a
// file for a moment; a refused step is tried again a few times before it
// counts. Which code such a refusal gives is not the same everywhere.
const int BUSY_TRIES = 8;
const DWORD BUSY_PAUSE_MS = 200;

// True, after a pause, when a step that failed with error should be tried
// again (tries made so far: tries).
bool try_again(int tries, DWORD error) {
  // A file that is no program stays so: no retry helps.
  bool malformed = error == ERROR_BAD_EXE_FORMAT || error == ERROR_BAD_FORMAT ||
                   error == ERROR_INVALID_EXE_SIGNATURE || error == ERROR_EXE_MARKED_INVALID;
  if (tries >= BUSY_TRIES || malformed) return false;
  Sleep(BUSY_PAUSE_MS);
  return true;
}

// The note path of in's text in in's folder into path (NOTE_PATH_UNITS
// units): empty when it would not fit. False when the folder is unknown.
bool build_note_path(const NoteOutput& in, wchar_t* path, EscapeCounts* counts, bool* escaped) {
  path[0] = 0;
  if (!in.folder || !in.folder[0]) return false;
  char16_t name[NOTE_TEXT_UNITS];
  *escaped = escape_note_text(U(in.text), name, counts);
  format_note_path(U(in.folder), name, reinterpret_cast<char16_t*>(path), NOTE_PATH_UNITS);
  return true;
}

// True when path cannot take a note: no path, a name Windows keeps for a
// device, or something there that is not a disk file. Checked before
// anything is written, so no byte goes to a device.
bool destination_refused(const wchar_t* path) {
  if (!path[0] || is_reserved_device_name(U(path_file_name_win(path)))) return true;
  HANDLE file = CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool refused = GetFileType(file) != FILE_TYPE_DISK;
  CloseHandle(file);
  return refused;
}

// Removes, in folder, the temporary notes that an editor killed during an
// output left more than ten minutes ago. No other name is touched.
void remove_stale_temp_files(const wchar_t* folder) {
  const ULONGLONG STALE = 10ULL * 60 * 10000000;  // in 100 ns units
  wchar_t pattern[NOTE_PATH_UNITS];
  if (swprintf(pattern, NOTE_PATH_UNITS, L"%ls\\~tessark-*.tmp", folder) < 0) return;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return;
  FILETIME now_time;
  GetSystemTimeAsFileTime(&now_time);
  ULARGE_INTEGER now = {{now_time.dwLowDateTime, now_time.dwHighDateTime}};
  do {
    ULARGE_INTEGER written = {{found.ftLastWriteTime.dwLowDateTime, found.ftLastWriteTime.dwHighDateTime}};
    bool stale = now.QuadPart > written.QuadPart && now.QuadPart - written.QuadPart > STALE;
    if (stale && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        is_note_temp_name(U(found.cFileName))) {
      wchar_t path[NOTE_PATH_UNITS];
      if (swprintf(path, NOTE_PATH_UNITS, L"%ls\\%ls", folder, found.cFileName) > 0) DeleteFileW(path);
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

// A new file in the folder of path, where the note is built before it takes
// the place of path; its name into temp (NOTE_PATH_UNITS units).
HANDLE create_temp_beside(const wchar_t* path, wchar_t* temp) {
  int folder = static_cast<int>(path_file_name_win(path) - path);
  for (unsigned n = 0; n < 100; ++n) {
    swprintf(temp, NOTE_PATH_UNITS, L"%.*ls~tessark-%lu-%u.tmp", folder, path,
             static_cast<unsigned long>(GetCurrentProcessId()), n);
    HANDLE file = CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    // A name still pending deletion (a scanner holds the deleted file)
    // answers "access denied" instead of "exists": take the next one too.
    DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED)
      break;
  }
  return INVALID_HANDLE_VALUE;
}

// Writes the template copy to a new file beside path, named in temp. False,
// with nothing left behind, when it cannot.
bool write_note_copy(const wchar_t* path, const uint8_t* copy, DWORD size, wchar_t* temp,
                     NoteWriteResult* out) {
  HANDLE file = create_temp_beside(path, temp);
  if (file == INVALID_HANDLE_VALUE) return fail(out, NOTE_WRITE_CREATE_FAILED);
  DWORD written = 0;
  bool whole = WriteFile(file, copy, size, &written, nullptr) && written == size;
  CloseHandle(file);
  if (whole) return true;
  DeleteFileW(temp);
  return fail(out, NOTE_WRITE_WRITE_FAILED);
}

struct NoteResources {
  uint8_t group[ICON_GROUP_BYTES];
  uint8_t* image;
  uint8_t table[NOTE_SETTINGS_TABLE_BYTES];
  DWORD table_bytes;
};

// One resource update of path with the three resources; false, with the
// refusing call's error in *error, when a step failed (the update discarded).
bool update_note_resources(const wchar_t* path, const NoteResources& r, DWORD* error) {
  HANDLE update = BeginUpdateResourceW(path, FALSE);
  if (!update) {
    *error = GetLastError();
    return false;
  }
  bool done =
      UpdateResourceW(update, RT_GROUP_ICON, MAKEINTRESOURCEW(ICON_GROUP_ID), NEUTRAL,
                      const_cast<uint8_t*>(r.group), ICON_GROUP_BYTES) &&
      UpdateResourceW(update, RT_ICON, MAKEINTRESOURCEW(ICON_GROUP_ID), NEUTRAL, r.image,
                      icon_group_byte_count(r.group)) &&
      UpdateResourceW(update, RT_STRING, MAKEINTRESOURCEW(1), NEUTRAL,
                      const_cast<uint8_t*>(r.table), r.table_bytes);
  if (!done) {
    *error = GetLastError();
    EndUpdateResourceW(update, TRUE);
    return false;
  }
  if (EndUpdateResourceW(update, FALSE)) return true;
  *error = GetLastError();
  return false;
}

// Whether bytes hold a program image (an MZ header that leads to a PE
// header). A template that is none fails its resource update at once,
// whatever code the platform gives for it.
bool is_program_image(const uint8_t* bytes, DWORD size) {
  if (size < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z') return false;
  DWORD pe = bytes[0x3C] | (bytes[0x3D] << 8) | (bytes[0x3E] << 16) | (static_cast<DWORD>(bytes[0x3F]) << 24);
  return pe <= size - 4 && bytes[pe] == 'P' && bytes[pe + 1] == 'E' && !bytes[pe + 2] && !bytes[pe + 3];
}

// The icon group, icon image and settings table into the file at path,
// retried while another program holds it (a malformed image only once).
bool write_note_resources(const NoteOutput& in, const wchar_t* path, bool malformed,
                          NoteWriteResult* out) {
  NoteResources r;
  bool done = compose_note_icon(in.resources, *in.look, r.group, &r.image, &out->icon_unreadable);
  if (done) {
    r.table_bytes = static_cast<DWORD>(
        encode_note_settings(*in.look, in.client_width, in.client_height, r.table));
    DWORD error = 0;
    for (int tries = 1; !(done = update_note_resources(path, r, &error)); ++tries)
      if (malformed || !try_again(tries, error)) break;
  }
  free_icon_image(r.image);
  return done || fail(out, NOTE_WRITE_RESOURCES_FAILED);
}

// Brings the finished note's data to the disk before it replaces anything:
// the move alone is durable, the data it names is not.
bool flush_note(const wchar_t* temp, NoteWriteResult* out) {
  for (int tries = 1;; ++tries) {
    HANDLE file = CreateFileW(temp, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      bool flushed = FlushFileBuffers(file);
      CloseHandle(file);
      if (flushed) return true;
    }
    if (!try_again(tries, GetLastError())) return fail(out, NOTE_WRITE_WRITE_FAILED);
  }
}

// Moves from to to, replacing a file there when replace is set; retried.
bool move_note(const wchar_t* from, const wchar_t* to, bool replace) {
  DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
  for (int tries = 1;; ++tries) {
    if (MoveFileExW(from, to, flags)) return true;
    if (!try_again(tries, GetLastError())) return false;
  }
}

// True when the note at path cannot be opened for writing because another
// program holds it: a running note. A missing note is not in use.
bool note_in_use(const wchar_t* path) {
  for (int tries = 1;; ++tries) {
    HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
      return false;
    }
    if (GetLastError() != ERROR_SHARING_VIOLATION) return false;
    if (tries == BUSY_TRIES) return true;
    Sleep(BUSY_PAUSE_MS);
  }
}

// The built note in temp takes the place of path; renamed_from names the
// note that a correction moved there, for the shell.
bool replace_note(const wchar_t* temp, const wchar_t* path, const wchar_t* renamed_from,
                  NoteWriteResult* out) {
  bool existed = GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
  if (!move_note(temp, path, true)) return fail(out, NOTE_WRITE_CREATE_FAILED);
  // Explorer would otherwise keep showing the old icon of a note rewritten in place.
  if (renamed_from) SHChangeNotify(SHCNE_RENAMEITEM, SHCNF_PATHW, renamed_from, path);
  SHChangeNotify(existed ? SHCNE_UPDATEITEM : SHCNE_CREATE, SHCNF_PATHW, path, nullptr);
  lstrcpynW(out->note_path, path, NOTE_PATH_UNITS);
  return true;
}

// Output of in to its note path. The destination is only ever replaced
// whole: every failure leaves it as it was. False with out->failure set.
bool write_note(const NoteOutput& in, const wchar_t* renamed_from, NoteWriteResult* out) {
  DWORD size = 0;
  uint8_t* copy = copy_note_template(in.resources, &size);
  if (!copy) return fail(out, NOTE_WRITE_NO_TEMPLATE);
  wchar_t path[NOTE_PATH_UNITS], temp[NOTE_PATH_UNITS];
  EscapeCounts counts;
  bool escaped = false;
  bool copied = build_note_path(in, path, &counts, &escaped) || fail(out, NOTE_WRITE_NO_FOLDER);
  if (copied && escaped && in.escaped) in.escaped(in.context, counts);
  copied = copied && (!destination_refused(path) || fail(out, NOTE_WRITE_CREATE_FAILED));
  if (copied) remove_stale_temp_files(in.folder);
  copied = copied && write_note_copy(path, copy, size, temp, out);
  bool malformed = !is_program_image(copy, size);
  HeapFree(GetProcessHeap(), 0, copy);
  if (!copied) return false;
  if (write_note_resources(in, temp, malformed, out) && flush_note(temp, out) &&
      replace_note(temp, path, renamed_from, out))
    return true;
  DeleteFileW(temp);
  return false;
}

void start_result(NoteWriteResult* out, const wchar_t* note_path) {
  out->failure = NOTE_WRITE_OK;
  out->icon_unreadable = out->moved_back_failed = out->renamed = out->old_note_kept = false;
  lstrcpynW(out->note_path, note_path ? note_path : L"", NOTE_PATH_UNITS);
}

// Whether a and b name the same file by the file system's rule: ordinal,
// ignoring case.
bool same_path(const wchar_t* a, const wchar_t* b) {
  return CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL;
}

// Renames the note at from to to. On another volume Windows would copy and
// delete instead, and a copy can lose the only note; nothing moves then and
// *across is set, unless another file already has the name (a rename would
// fail on that too).
bool rename_note(const wchar_t* from, const wchar_t* to, bool* across) {
  *across = false;
  if (MoveFileExW(from, to, 0)) return true;
  *across = GetLastError() == ERROR_NOT_SAME_DEVICE && GetFileAttributesW(to) == INVALID_FILE_ATTRIBUTES;
  return false;
}

// Deletes the note at path, retried; true when it is gone.
bool delete_note(const wchar_t* path) {
  for (int tries = 1;; ++tries) {
    if (DeleteFileW(path)) return true;
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
    if (!try_again(tries, error)) return false;
  }
}

// A correction across volumes: the note is output at its new path first and
// only then is the old one deleted, so a failed output leaves it untouched.
void write_across_volumes(const NoteOutput& in, const wchar_t* old_path, NoteWriteResult* out) {
  if (!write_note(in, nullptr, out)) return;
  out->renamed = delete_note(old_path);
  out->old_note_kept = !out->renamed;
  if (out->renamed) SHChangeNotify(SHCNE_DELETE, SHCNF_PATHW, old_path, nullptr);
}

}  // namespace

bool find_desktop_folder(wchar_t* folder) {
  LPITEMIDLIST items = nullptr;
  folder[0] = 0;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &items)) || !items)
    return false;
  BOOL found = SHGetPathFromIDListW(items, folder);
  CoTaskMemFree(items);
  return found && folder[0];
}

void write_note_file(const NoteOutput& in, NoteWriteResult* out) {
  start_result(out, nullptr);
  write_note(in, nullptr, out);
}

void write_corrected_note(const NoteOutput& in, NoteWriteResult* out) {
  start_result(out, in.correcting);
  wchar_t old_path[NOTE_PATH_UNITS], path[NOTE_PATH_UNITS];
  lstrcpynW(old_path, in.correcting ? in.correcting : L"", NOTE_PATH_UNITS);
  EscapeCounts counts;
  bool escaped = false;  // the output below asks; the move is silent
  if (!build_note_path(in, path, &counts, &escaped)) return (void)fail(out, NOTE_WRITE_NO_FOLDER);
  // A running note cannot be rewritten; renaming it first would leave it
  // under the new name with the old look.
  if (note_in_use(old_path)) return (void)fail(out, NOTE_WRITE_NOTE_RUNNING);
  if (destination_refused(path)) return (void)fail(out, NOTE_WRITE_CREATE_FAILED);
  // When the rename fails (the name is taken, or the note is gone), output
  // still writes the new path.
  bool across = false;
  bool moved = old_path[0] && !same_path(old_path, path) && rename_note(old_path, path, &across);
  if (across) return write_across_volumes(in, old_path, out);
  if (write_note(in, moved ? old_path : nullptr, out)) {
    out->renamed = moved;
    return;
  }
  // A failed correction changes no file: the note goes back to its name.
  // Where it cannot, the note keeps the new name and the editor follows it.
  if (!moved) return;
  if (move_note(path, old_path, false)) return;
  out->moved_back_failed = true;
  lstrcpynW(out->note_path, path, NOTE_PATH_UNITS);
}
