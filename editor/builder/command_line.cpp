// Command-line splitting with the platform's character stepping.
#include "editor/builder/command_line.h"

namespace {

char16_t* step_next(const CharStepper& step, char16_t* p) {
  return const_cast<char16_t*>(step.next(p));
}

// The program name: its end, or nullptr when nothing can follow it.
char16_t* skip_program_name(char16_t* p, const CharStepper& step) {
  if (*p == u'"') {
    p = step_next(step, p);
    while (*p && *p != u'"') p = step_next(step, p);
    return *p ? step_next(step, p) : p;  // an unclosed quote runs to the end
  }
  if (*p == u' ') return p;  // no name at all
  while (*p && *p != u' ') p = step_next(step, p);
  return *p ? p : nullptr;
}

char16_t* quoted_argument(char16_t* p, const CharStepper& step) {
  p = step_next(step, p);
  if (!*p) return nullptr;
  for (char16_t* q = p; *q; q = step_next(step, q)) {
    if (*q != u'"') continue;
    char16_t* after = step_next(step, q);
    if (*after == u' ' || *after == 0) {
      *q = 0;
      return p;
    }
  }
  return nullptr;
}

}  // namespace

char16_t* first_command_line_argument(char16_t* line, const CharStepper& step) {
  char16_t* p = skip_program_name(line, step);
  if (!p) return nullptr;
  while (*p == u' ') p = step_next(step, p);
  if (!*p) return nullptr;
  if (*p == u'"') return quoted_argument(p, step);
  char16_t* argument = p;
  while (*p && *p != u' ') p = step_next(step, p);
  *p = 0;
  return argument;
}
