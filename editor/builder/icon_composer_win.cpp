// Reading icon templates and the default note icon into heap icon images.
#include "editor/builder/icon_composer_win.h"
#include <cstring>

namespace {

bool read_exactly(HANDLE file, void* buffer, DWORD bytes) {
  DWORD got = 0;
  return ReadFile(file, buffer, bytes, &got, nullptr) && got == bytes;
}

bool seek_to(HANDLE file, uint32_t offset) {
  LONG high = 0;  // with a high part the low part counts as unsigned
  SetLastError(NO_ERROR);
  DWORD low = SetFilePointer(file, static_cast<LONG>(offset), &high, FILE_BEGIN);
  return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

bool is_loadable_icon(const wchar_t* path) {
  if (!path[0]) return false;
  HANDLE icon = LoadImageW(nullptr, path, IMAGE_ICON, 0, 0, LR_LOADFROMFILE);
  if (!icon) return false;
  DestroyIcon(static_cast<HICON>(icon));
  return true;
}

// The image of an open template, checked against the file before anything
// is allocated; null when the file is unreadable.
uint8_t* read_template_image(HANDLE file, uint8_t group[ICON_GROUP_BYTES]) {
  uint8_t offset_bytes[4], header[ICON_HEADER_BYTES];
  if (!read_exactly(file, group, ICON_ENTRY_READ_BYTES)) return nullptr;
  if (!read_exactly(file, offset_bytes, 4)) return nullptr;
  uint32_t offset = offset_bytes[0] | (offset_bytes[1] << 8) | (offset_bytes[2] << 16) |
                    (static_cast<uint32_t>(offset_bytes[3]) << 24);
  if (!seek_to(file, offset) || !read_exactly(file, header, ICON_HEADER_BYTES)) return nullptr;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file, &size)) return nullptr;
  uint32_t count = check_icon_template(group, offset, header, static_cast<uint64_t>(size.QuadPart));
  if (!count) return nullptr;
  uint8_t* image = static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, count));
  if (!image) return nullptr;
  std::memcpy(image, header, ICON_HEADER_BYTES);
  if (!seek_to(file, offset + ICON_HEADER_BYTES) ||
      !read_exactly(file, image + ICON_HEADER_BYTES, count - ICON_HEADER_BYTES)) {
    free_icon_image(image);
    return nullptr;
  }
  finish_icon_group(group, header, count);
  return image;
}

// The bytes of resource id of type, or null; *size gets its size.
const uint8_t* resource_bytes(HINSTANCE instance, LPCWSTR type, int id, DWORD* size) {
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), type);
  if (!found) return nullptr;
  HGLOBAL loaded = LoadResource(instance, found);
  *size = SizeofResource(instance, found);
  return loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
}

}  // namespace

bool read_icon_template(const wchar_t* path, uint8_t group[ICON_GROUP_BYTES], uint8_t** image) {
  *image = nullptr;
  if (is_loadable_icon(path)) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      *image = read_template_image(file, group);
      CloseHandle(file);
    }
  }
  return *image != nullptr;
}

bool load_default_note_icon(HINSTANCE instance, uint8_t group[ICON_GROUP_BYTES], uint8_t** image) {
  *image = nullptr;
  DWORD group_size = 0, image_size = 0;
  const uint8_t* group_bytes = resource_bytes(instance, RT_GROUP_ICON, ICON_GROUP_ID, &group_size);
  if (!group_bytes || group_size < ICON_GROUP_BYTES) return false;
  std::memcpy(group, group_bytes, ICON_GROUP_BYTES);
  uint32_t count = icon_group_byte_count(group);
  const uint8_t* image_bytes = resource_bytes(instance, RT_ICON, ICON_GROUP_ID, &image_size);
  if (!image_bytes || image_size < count || count == 0) return false;
  *image = static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, count));
  if (!*image) return false;
  std::memcpy(*image, image_bytes, count);
  return true;
}

bool compose_note_icon(HINSTANCE instance, const NoteSettings& s, uint8_t group[ICON_GROUP_BYTES],
                       uint8_t** image, bool* template_unreadable) {
  bool ready = s.icon_enabled &&
               read_icon_template(reinterpret_cast<const wchar_t*>(s.icon_path), group, image);
  *template_unreadable = s.icon_enabled && !ready;
  if (!ready && !load_default_note_icon(instance, group, image)) return false;
  tint_note_icon(*image, icon_group_byte_count(group), s.background_color);
  return true;
}

void free_icon_image(uint8_t* image) {
  if (image) HeapFree(GetProcessHeap(), 0, image);
}
