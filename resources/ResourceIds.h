#pragma once

// Resource numbers shared by Parvane.rc and the program. The dialog templates are numbered in
// src/base/ModalDialogs.h.

#define ICON_PARVANE 101
#define ICON_BROWSE 104
