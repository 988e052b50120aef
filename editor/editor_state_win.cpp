// The editor's one window state record.
#include "editor/editor_state_win.h"

EditorState g_editor;
