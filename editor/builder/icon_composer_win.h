// The icon composer: the icon group and icon image that output writes into a
// note, from the user's icon template or the editor's default note icon,
// tinted to the note's background colour.
#pragma once
#include <windows.h>
#include <cstdint>
#include "common/note_settings.h"
#include "editor/builder/icon_composer.h"

// Fills group and hands over *image (free_icon_image): the icon template of
// s when s.icon_enabled and it can be read (otherwise the default note icon
// of instance, with *template_unreadable set: the editor then shows
// "アイコンファイルの読み込みに失敗しました"), tinted to s.background_color.
// False with *image null only when instance lacks the default note icon.
bool compose_note_icon(HINSTANCE instance, const NoteSettings& s, uint8_t group[ICON_GROUP_BYTES],
                       uint8_t** image, bool* template_unreadable);

// Reads the first image of the icon file at path. On success fills group
// (one image, the computed byte count, icon id 2) and hands over *image. On
// failure returns false and holds no memory (*image null).
bool read_icon_template(const wchar_t* path, uint8_t group[ICON_GROUP_BYTES], uint8_t** image);

// Copies icon group 2 and icon image 2 of instance. False, with *image null,
// when either is missing or the image is shorter than its group says.
bool load_default_note_icon(HINSTANCE instance, uint8_t group[ICON_GROUP_BYTES], uint8_t** image);

// Frees an icon image handed over above (null is fine).
void free_icon_image(uint8_t* image);
