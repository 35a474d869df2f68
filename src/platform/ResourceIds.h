#pragma once

// The numbers of Parvane.exe's resources, named once for Parvane.rc and for the program: the
// dialog templates with their controls, the icons and the main window's commands. Plain
// #defines, so that the resource compiler reads this file as the C++ compiler does. A dialog's
// procedure and its template take their numbers from here, so the two cannot drift apart.

// The command ids Windows gives a meaning of its own: IDOK, which an OK button carries, and
// IDCANCEL, which Esc and a dialog's close box send and a Cancel button carries.
#define COMMAND_OK 1
#define DIALOG_ESCAPE 2

#define ICON_PARVANE 101
#define ICON_BROWSE 104

// A control the program never addresses (labels, group boxes, the About box's icon).
#define UNADDRESSED_CONTROL (-1)

// Choose installation folder.
#define DIALOG_TARGET_FOLDER 103
#define TARGET_FOLDER_OK_BUTTON COMMAND_OK
#define TARGET_FOLDER_CANCEL_BUTTON DIALOG_ESCAPE
#define TARGET_FOLDER_BROWSE_BUTTON 3
#define TARGET_FOLDER_UNDO_BUTTON 4
#define TARGET_FOLDER_EDIT 1001

// About Parvane.
#define DIALOG_ABOUT 105
#define ABOUT_OK_BUTTON 1020
#define ABOUT_TEXT_CONTROL 1021

// Program properties: a check box for each on/off property, a field and a browse button for
// each folder.
#define DIALOG_PROGRAM_PROPERTIES 106
#define PROPERTIES_OK_BUTTON COMMAND_OK
#define PROPERTIES_CANCEL_BUTTON DIALOG_ESCAPE
#define PROPERTIES_BROWSE_TARGET_FOLDER 3
#define PROPERTIES_BROWSE_OPEN_ARCHIVE_FOLDER 4
#define PROPERTIES_BROWSE_FLAG_FOLDER 5
#define PROPERTIES_BROWSE_LIBRARY_FOLDER 6
#define PROPERTIES_WARN_ON_OVERWRITE_FILE_CHECK 1002
#define PROPERTIES_SAVE_PROPERTIES_ON_EXIT_CHECK 1003
#define PROPERTIES_ASK_FOR_FLAG_CHECK 1004
#define PROPERTIES_REMEMBER_OPEN_ARCHIVE_FOLDER_CHECK 1005
#define PROPERTIES_OPEN_ARCHIVE_FOLDER_FIELD 1006
#define PROPERTIES_ASK_FOR_TARGET_FOLDER_CHECK 1007
#define PROPERTIES_ASK_FOR_INSTALL_PROCEED_CHECK 1008
#define PROPERTIES_TARGET_FOLDER_FIELD 1009
#define PROPERTIES_FLAG_FOLDER_FIELD 1010
#define PROPERTIES_USE_DEFAULT_LIBRARY_FOLDER_CHECK 1011
#define PROPERTIES_LIBRARY_FOLDER_FIELD 1012
#define PROPERTIES_WARN_ON_CLOAKED_LIBRARIES_CHECK 1013

// Uninstall course and Uninstall library: the list and its buttons.
#define DIALOG_UNINSTALL_COURSE 107
#define DIALOG_UNINSTALL_LIBRARY 108
#define UNINSTALL_CLOSE_BUTTON 8
#define UNINSTALL_REMOVE_BUTTON 9
#define UNINSTALL_PROPERTIES_BUTTON 10
#define COURSE_LIST 1008
#define LIBRARY_LIST 1007

// The read-only properties of one course or library; Close as in the lists.
#define DIALOG_COURSE_PROPERTIES 109
#define DIALOG_LIBRARY_PROPERTIES 110
#define COURSE_PROPERTIES_TEXT 1011
#define LIBRARY_PROPERTIES_TEXT 1012

// Installation analysis result.
#define DIALOG_ANALYSIS 111
#define ANALYSIS_CLOSE_BUTTON 8
#define ANALYSIS_REPORT_TEXT 1013

// The progress of long work, modeless.
#define DIALOG_PROGRESS 112
#define PROGRESS_CANCEL_BUTTON DIALOG_ESCAPE
#define PROGRESS_SUBJECT 1101
#define PROGRESS_STEP 1102
#define PROGRESS_BAR 1103

// The main window's commands, as its menu and accelerators send them (built by the program,
// not in Parvane.rc).
#define CMD_OPEN_ARCHIVE 100
#define CMD_UNINSTALL_COURSE 101
#define CMD_UNINSTALL_LIBRARY 102
#define CMD_EXIT 103
#define CMD_ANALYZE 104
#define CMD_PROPERTIES 300
#define CMD_HELP_CONTENTS 400
#define CMD_ABOUT 401
