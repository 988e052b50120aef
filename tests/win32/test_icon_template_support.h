// Helpers of the builder's Win32 tests: files, icon files
// made byte by byte, modules with the editor's resources, and a watcher that reads and answers the message boxes
// that the code under test shows on this thread.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>
#include "common/default_note_icon.h"
#include "test_files.h"

inline bool write_bytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD done = 0;
  bool ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
            done == bytes.size();
  CloseHandle(f);
  return ok;
}

inline std::vector<uint8_t> read_bytes(const std::wstring& path) {
  std::vector<uint8_t> out;
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (f == INVALID_HANDLE_VALUE) return out;
  out.resize(GetFileSize(f, nullptr));
  DWORD done = 0;
  if (!ReadFile(f, out.data(), static_cast<DWORD>(out.size()), &done, nullptr)) done = 0;
  out.resize(done);
  CloseHandle(f);
  return out;
}

inline void put_le(std::vector<uint8_t>& v, size_t at, uint32_t x, int bytes) {
  for (int i = 0; i < bytes; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}

// A DIB icon image: header (height doubled), palette (0x00RRGGBB values),
// a colour mask with a recognisable pattern, and a transparency mask.
inline std::vector<uint8_t> dib_icon_image(int width, int height, int bits,
                                           const std::vector<uint32_t>& palette,
                                           uint32_t header_size = 40) {
  size_t colour_row = (width * bits + 31) / 32 * 4, mask_row = (width + 31) / 32 * 4;
  size_t pixels_at = header_size + 4 * palette.size();
  std::vector<uint8_t> image(pixels_at + height * (colour_row + mask_row), 0);
  put_le(image, 0, header_size, 4);
  put_le(image, 4, width, 4);
  put_le(image, 8, 2 * height, 4);
  put_le(image, 12, 1, 2);
  put_le(image, 14, bits, 2);
  for (size_t i = 0; i < palette.size(); ++i) {
    image[header_size + 4 * i] = static_cast<uint8_t>(palette[i]);
    image[header_size + 4 * i + 1] = static_cast<uint8_t>(palette[i] >> 8);
    image[header_size + 4 * i + 2] = static_cast<uint8_t>(palette[i] >> 16);
  }
  for (size_t i = pixels_at; i < pixels_at + height * colour_row; ++i)
    image[i] = static_cast<uint8_t>(i * 37 + bits);
  return image;
}

// One entry of an icon file. A width or height of 256 is stored as 0.
struct IcoEntry {
  int width, height, colours, bits;
  std::vector<uint8_t> image;
};

inline std::vector<uint8_t> ico_file(const std::vector<IcoEntry>& entries) {
  std::vector<uint8_t> file(6 + 16 * entries.size(), 0);
  put_le(file, 2, 1, 2);
  put_le(file, 4, static_cast<uint32_t>(entries.size()), 2);
  for (size_t i = 0; i < entries.size(); ++i) {
    size_t e = 6 + 16 * i;
    file[e] = static_cast<uint8_t>(entries[i].width & 0xFF);
    file[e + 1] = static_cast<uint8_t>(entries[i].height & 0xFF);
    file[e + 2] = static_cast<uint8_t>(entries[i].colours);
    put_le(file, e + 4, 1, 2);
    put_le(file, e + 6, entries[i].bits, 2);
    put_le(file, e + 8, static_cast<uint32_t>(entries[i].image.size()), 4);
    put_le(file, e + 12, static_cast<uint32_t>(file.size()), 4);
    file.insert(file.end(), entries[i].image.begin(), entries[i].image.end());
  }
  return file;
}

// Reads and answers (OK) every message box of this process from another
// thread while the code under test runs its modal loop on this one.
class MessageWatcher {
 public:
  struct Seen {
    std::wstring caption, text;
  };

  MessageWatcher() {
    stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
  }
  ~MessageWatcher() { finish(); }

  // Stops watching and returns every box seen, in order.
  const std::vector<Seen>& finish() {
    if (thread_) {
      SetEvent(stop_);
      WaitForSingleObject(thread_, INFINITE);
      CloseHandle(thread_);
      CloseHandle(stop_);
      thread_ = nullptr;
    }
    return seen_;
  }

 private:
  static BOOL CALLBACK text_of(HWND child, LPARAM out) {
    wchar_t cls[16], text[2048];
    GetClassNameW(child, cls, 16);
    if (lstrcmpiW(cls, L"Static") == 0 && GetWindowTextW(child, text, 2048) > 0) {
      std::wstring* best = reinterpret_cast<std::wstring*>(out);
      if (lstrlenW(text) > static_cast<int>(best->size())) *best = text;
    }
    return TRUE;
  }

  static BOOL CALLBACK answer(HWND window, LPARAM self_param) {
    MessageWatcher* self = reinterpret_cast<MessageWatcher*>(self_param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t cls[16];
    GetClassNameW(window, cls, 16);
    if (pid != GetCurrentProcessId() || lstrcmpW(cls, L"#32770") || !IsWindowVisible(window))
      return TRUE;
    for (HWND done : self->answered_)
      if (done == window && IsWindow(window)) return TRUE;
    Seen s;
    wchar_t caption[256];
    GetWindowTextW(window, caption, 256);
    s.caption = caption;
    EnumChildWindows(window, text_of, reinterpret_cast<LPARAM>(&s.text));
    self->seen_.push_back(s);
    self->answered_.push_back(window);
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    return TRUE;
  }

  static DWORD WINAPI run(void* param) {
    MessageWatcher* self = static_cast<MessageWatcher*>(param);
    while (WaitForSingleObject(self->stop_, 20) == WAIT_TIMEOUT)
      EnumWindows(answer, reinterpret_cast<LPARAM>(self));
    return 0;
  }

  HANDLE stop_ = nullptr, thread_ = nullptr;
  std::vector<Seen> seen_;
  std::vector<HWND> answered_;
};

// A plain top-level window to own message boxes.
inline HWND owner_window() {
  static HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPED, 0, 0, 100, 100,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  return owner;
}

// A copy of this test program that carries the default note icon (icon group
// 2, icon image 2) and, when given, note_template as resource "VEMTO" 3,
// mapped as image resources until the run ends: an instance with the
// editor's resources.
inline HINSTANCE editor_like_module(const std::wstring& name,
                                    const std::vector<uint8_t>* note_template) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring copy = scratch_folder(L"module") + L"\\" + name;
  if (!CopyFileW(self, copy.c_str(), FALSE)) return nullptr;
  uint8_t group[ICON_GROUP_DIR_BYTES], image[DEFAULT_NOTE_ICON_BYTES];
  make_default_note_icon_group(group, 2);
  make_default_note_icon_image(image);
  HANDLE update = BeginUpdateResourceW(copy.c_str(), FALSE);
  if (!update) return nullptr;
  UpdateResourceW(update, RT_GROUP_ICON, MAKEINTRESOURCEW(2), 0, group, sizeof group);
  UpdateResourceW(update, RT_ICON, MAKEINTRESOURCEW(2), 0, image, sizeof image);
  if (note_template)
    UpdateResourceW(update, L"VEMTO", MAKEINTRESOURCEW(3), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                    const_cast<uint8_t*>(note_template->data()),
                    static_cast<DWORD>(note_template->size()));
  if (!EndUpdateResourceW(update, FALSE)) return nullptr;
  return unmap_at_end(
      LoadLibraryExW(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}
