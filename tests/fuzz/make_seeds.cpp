// Writes the seed corpus of every fuzz target from real inputs: settings
// tables as the editor writes them, note names, command lines and the
// icon files that the build draws. Usage: make_seeds OUTPUT_FOLDER ICON_FOLDER
#include <cstdio>
#include <string>
#include <vector>
#include "common/note_settings_table.h"
#include "common/text16.h"

static void write(const std::string& path, const void* data, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
}

static void write_text(const std::string& path, const std::u16string& text) {
  write(path, text.data(), text.size() * 2);
}

static std::vector<uint8_t> read(const std::string& path) {
  std::vector<uint8_t> data;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    int c;
    while ((c = std::fgetc(f)) != EOF) data.push_back(static_cast<uint8_t>(c));
    std::fclose(f);
  }
  return data;
}

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  std::string out = argv[1], icons = argv[2];
  NoteSettings s;
  set_default_note_settings(&s);
  std::vector<uint8_t> block(NOTE_SETTINGS_TABLE_BYTES);
  size_t n = encode_note_settings(s, 300, 200, block.data());
  for (const char* t : {"note_settings_table", "reopen_table", "settings_loader"})
    write(out + "/" + t + "/example", block.data(), n);
  s.image_enabled = s.icon_enabled = 1;
  text16_copy(s.image_path, PATH_UNITS, u"C:\\pics\\bg.bmp");
  text16_copy(s.icon_path, PATH_UNITS, u"C:\\icons\\note.ico");
  s.font_height = -16;
  n = encode_note_settings(s, 420, 280, block.data());
  write(out + "/reopen_table/with_paths", block.data(), n);
  write(out + "/note_settings_table/with_paths", block.data(), n);

  write_text(out + "/note_name_codec/escapes", u"C:\\memo\r\n\"a,b\" <x>|y*?");
  write_text(out + "/note_name_codec/name", u"Hello,？,.line,,two,");
  write_text(out + "/command_line/quoted", u"\"C:\\Program Files\\Tessark.exe\" \"D:\\My Notes\\Buy milk.exe\" x");
  write_text(out + "/command_line/plain", u"Tessark.exe D:\\notes\\a.exe");
  write_text(out + "/command_line/unclosed", u"Tessark.exe \"D:\\open");
  // A 2 x 2 24-bit bitmap as a background image is written.
  const uint8_t bmp[] = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0,
                         24, 0, 0, 0, 0, 0, 16, 0, 0, 0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                         0, 0, 255, 0, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0, 0, 0};
  write(out + "/bitmap_file/two_by_two.bmp", bmp, sizeof bmp);
  for (const char* icon : {"default_note_icon.ico", "app_icon.ico"}) {
    std::vector<uint8_t> data = read(icons + "/" + icon);
    write(out + "/icon_template/" + icon, data.data(), data.size());
    if (data.size() > 22) write(out + "/icon_tint/" + icon, data.data() + 19, data.size() - 19);
  }
  return 0;
}
