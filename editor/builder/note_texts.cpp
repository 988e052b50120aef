// Note paths and editor titles, bounded by their buffers.
#include "editor/builder/note_texts.h"
#include "common/note_name_codec.h"
#include "common/text16.h"

bool format_note_path(const char16_t* desktop, const char16_t* name, char16_t* out, size_t cap) {
  size_t needed = text16_length(desktop) + 1 + text16_length(name) + 4;
  if (cap == 0) return false;
  out[0] = 0;
  if (needed >= cap) return false;
  text16_copy(out, cap, desktop);
  text16_append(out, cap, u"\\");
  text16_append(out, cap, name);
  text16_append(out, cap, u".exe");
  return true;
}

void format_editor_title(const char16_t* note_path, char16_t* out, size_t cap,
                         const CharStepper& step) {
  text16_copy(out, cap, u"Tessark - ");
  text16_append(out, cap, path_file_name(note_path, step));
}

namespace {

// Digits from s on; the first character after them into *end. False when none.
bool skip_digits(const char16_t* s, const char16_t** end) {
  const char16_t* p = s;
  while (*p >= u'0' && *p <= u'9') ++p;
  *end = p;
  return p != s;
}

char16_t lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

// Whether s starts with the lower-case ASCII word, ignoring case; *end after it.
bool starts_with(const char16_t* s, const char16_t* word, const char16_t** end) {
  for (; *word; ++s, ++word)
    if (lower(*s) != *word) return false;
  *end = s;
  return true;
}

}  // namespace

bool is_note_temp_name(const char16_t* name) {
  const char16_t* p = name;
  return starts_with(p, u"~tessark-", &p) && skip_digits(p, &p) && starts_with(p, u"-", &p) &&
         skip_digits(p, &p) && starts_with(p, u".tmp", &p) && *p == 0;
}

const char16_t* note_write_message(NoteWriteFailure failure) {
  switch (failure) {
    case NOTE_WRITE_OK: return u"";
    case NOTE_WRITE_NO_FOLDER: return u"デスクトップフォルダの取得に失敗しました";
    case NOTE_WRITE_NO_TEMPLATE: return u"付箋テンプレートの読み込みに失敗しました";
    case NOTE_WRITE_CREATE_FAILED: return u"ファイルの作成に失敗しました";
    case NOTE_WRITE_WRITE_FAILED: return u"ファイルの書き込みに失敗しました";
    case NOTE_WRITE_RESOURCES_FAILED: return u"リソースの更新処理に失敗しました";
    case NOTE_WRITE_NOTE_RUNNING:
      return u"付箋が実行中のため訂正できません。付箋を閉じてから、もう一度実行してください";
  }
  return u"";
}

void format_moved_back_failure(const char16_t* note_path, char16_t* out, size_t cap) {
  text16_copy(out, cap, u"付箋を元の名前に戻せませんでした。付箋は新しい名前のまま、次の場所にあります\n\n");
  text16_append(out, cap, note_path);
}

void format_old_note_kept(const char16_t* old_path, char16_t* out, size_t cap) {
  text16_copy(out, cap, u"付箋を出力しましたが、元の付箋を削除できませんでした。元の付箋は次の場所に残っています\n\n");
  text16_append(out, cap, old_path);
}
