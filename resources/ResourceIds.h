#pragma once

// Resource numbers shared by Parvane.rc and the program. The dialog templates are numbered in
// src/base/ModalDialogs.h.

#define ICON_PARVANE 101
#define ICON_BROWSE 104

// The progress dialog of long work and its controls.
#define DIALOG_PROGRESS 112
#define PROGRESS_SUBJECT 1101
#define PROGRESS_STEP 1102
#define PROGRESS_BAR 1103
