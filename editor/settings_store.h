// The editor's remembered state and the settings-file layout, as data: one
// table of keys (section, key, field, kind, default, loading rule) walked by
// one loader and one saver. The profile functions are reached through
// ProfileAccess, so the walker runs on the real ones and on test doubles.
#pragma once
#include <cstddef>
#include <cstdint>
#include "common/note_settings.h"

enum { PALETTE_ENTRIES = 16, STYLE_SLOTS = 9, STYLE_NAME_UNITS = 1024 };

// Everything the editor keeps between runs except the window size and the styles.
struct EditorSettings {
  NoteSettings note;
  uint32_t background_palette[PALETTE_ENTRIES];  // COLORREF
  uint32_t text_palette[PALETTE_ENTRIES];        // COLORREF
  int32_t escape_message;
  char16_t settings_path[PATH_UNITS];
};

// The three profile operations the store needs, on one settings file.
struct ProfileAccess {
  void* context;
  // A missing file, section or key gives def; otherwise the value's leading
  // decimal number with an optional sign.
  int32_t (*read_int)(void* context, const char16_t* section, const char16_t* key, int32_t def);
  // A missing key gives def; otherwise the value cut to cap - 1 units.
  void (*read_text)(void* context, const char16_t* section, const char16_t* key,
                    const char16_t* def, char16_t* buf, size_t cap);
  // Creates file, section and key as needed; false when the write failed.
  bool (*write_text)(void* context, const char16_t* section, const char16_t* key,
                     const char16_t* value);
};

// Colour packing: each component is cut to its low 8 bits first.
uint32_t pack_colorref(int32_t r, int32_t g, int32_t b);      // R + 256 G + 65536 B
uint32_t pack_pixel_order(int32_t r, int32_t g, int32_t b);   // 65536 R + 256 G + B
// Component 0, 1 or 2 (R, G, B) of a COLORREF or of a pixel-order colour.
int32_t colorref_component(uint32_t c, int component);
int32_t pixel_order_component(uint32_t c, int component);

// Fills every field with the first-run defaults (white palettes, escape off).
void set_default_editor_settings(EditorSettings* s);

// Reads NoteSettings, both palettes and ESCAPE_MSG in the file's key order,
// applying each key's loading rule; missing keys give their defaults.
void load_settings_from(const ProfileAccess& p, EditorSettings* s);

// Writes every NoteSettings key of the main sections. Stops after the first
// write ("MARGIN") when it fails and returns false; later results are ignored.
bool save_note_settings_to(const ProfileAccess& p, const NoteSettings& n);

// Writes the 96 palette keys; results ignored.
void save_palettes_to(const ProfileAccess& p, const EditorSettings& s);

// Writes "ESCAPE_MSG" as "1" or "0"; returns the write's result.
bool save_escape_message_to(const ProfileAccess& p, int32_t escape_message);

// Section name "STYLE_<slot>" (slot 1 to 9) into buf.
void style_section(int slot, char16_t* buf, size_t cap);

// Reads style slot into n and the outer window size, with the style
// defaults (400 x 300 when the size is missing).
void load_style_from(const ProfileAccess& p, int slot, NoteSettings* n, int32_t* outer_width,
                     int32_t* outer_height);

// Writes the style's look from "WINDOW_MARGIN" on ("STYLE_NAME" is written by
// the caller first). Stops and returns false when "WINDOW_MARGIN" fails.
bool save_style_to(const ProfileAccess& p, int slot, const NoteSettings& n, int32_t outer_width,
                   int32_t outer_height);

// The settings file path: folder (ends with a separator) + user + " Tessark.ini".
// A missing folder gives ".\", a missing user "user"; when the result would
// not fit in PATH_UNITS - 1 units the file goes to ".\" instead, with the user
// name cut so that it fits. The result is always a usable path.
void compose_settings_path(const char16_t* folder, const char16_t* user, char16_t* out);
