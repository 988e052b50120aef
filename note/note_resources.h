// Resource and control ids of the note program, shared by note.rc and the code.
#pragma once

#define NOTE_ICON_IMAGE_ID 1   // RT_ICON: the default note icon's image
#define NOTE_ICON_GROUP_ID 2   // RT_GROUP_ICON: the class icon, replaced in every note
#define NOTE_MANIFEST_ID 1     // RT_MANIFEST
#define NOTE_EDIT_CONTROL_ID 1 // the edit control, child of the container window
