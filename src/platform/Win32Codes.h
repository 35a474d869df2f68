#pragma once

// Numbers that Windows gives to results, errors, flags and types. The seam speaks in them on
// every backend, so that a message shows the same number wherever the program runs. The names
// differ from <windows.h>'s macros on purpose: the Win32 backend includes both.

#include <cstdint>

namespace parvane {

// GetLastError values, and registry status codes (the same numbering).
using Win32Error = std::uint32_t;

inline constexpr Win32Error ERR_SUCCESS = 0;
inline constexpr Win32Error ERR_FILE_NOT_FOUND = 2;
inline constexpr Win32Error ERR_PATH_NOT_FOUND = 3;
inline constexpr Win32Error ERR_TOO_MANY_OPEN_FILES = 4;
inline constexpr Win32Error ERR_ACCESS_DENIED = 5;
inline constexpr Win32Error ERR_INVALID_HANDLE = 6;
inline constexpr Win32Error ERR_NOT_ENOUGH_MEMORY = 8;
inline constexpr Win32Error ERR_INVALID_DATA = 13;
inline constexpr Win32Error ERR_NOT_SAME_DEVICE = 17;
inline constexpr Win32Error ERR_NO_MORE_FILES = 18;
inline constexpr Win32Error ERR_WRITE_PROTECT = 19;
inline constexpr Win32Error ERR_GEN_FAILURE = 31;
inline constexpr Win32Error ERR_SHARING_VIOLATION = 32;
inline constexpr Win32Error ERR_HANDLE_EOF = 38;
inline constexpr Win32Error ERR_NOT_SUPPORTED = 50;
inline constexpr Win32Error ERR_FILE_EXISTS = 80;
inline constexpr Win32Error ERR_INVALID_PARAMETER = 87;
inline constexpr Win32Error ERR_DISK_FULL = 112;
inline constexpr Win32Error ERR_INSUFFICIENT_BUFFER = 122;
inline constexpr Win32Error ERR_INVALID_NAME = 123;
inline constexpr Win32Error ERR_DIR_NOT_EMPTY = 145;
inline constexpr Win32Error ERR_BAD_PATHNAME = 161;
inline constexpr Win32Error ERR_ALREADY_EXISTS = 183;
inline constexpr Win32Error ERR_FILENAME_EXCED_RANGE = 206;
inline constexpr Win32Error ERR_MORE_DATA = 234;
inline constexpr Win32Error ERR_NO_MORE_ITEMS = 259;
inline constexpr Win32Error ERR_DIRECTORY = 267;
inline constexpr Win32Error ERR_NO_UNICODE_TRANSLATION = 1113;
inline constexpr Win32Error ERR_BADDB = 1009;
inline constexpr Win32Error ERR_BADKEY = 1010;
inline constexpr Win32Error ERR_CANTREAD = 1012;
inline constexpr Win32Error ERR_CANTWRITE = 1013;
inline constexpr Win32Error ERR_KEY_DELETED = 1018;

// GetFileAttributesA.
inline constexpr std::uint32_t ATTR_READONLY = 0x01;
inline constexpr std::uint32_t ATTR_HIDDEN = 0x02;
inline constexpr std::uint32_t ATTR_DIRECTORY = 0x10;
inline constexpr std::uint32_t ATTR_ARCHIVE = 0x20;
inline constexpr std::uint32_t ATTR_NORMAL = 0x80;
inline constexpr std::uint32_t ATTR_REPARSE_POINT = 0x400;
inline constexpr std::uint32_t ATTR_INVALID = 0xFFFFFFFF;

// Registry value types.
inline constexpr std::uint32_t REGTYPE_NONE = 0;
inline constexpr std::uint32_t REGTYPE_SZ = 1;
inline constexpr std::uint32_t REGTYPE_EXPAND_SZ = 2;
inline constexpr std::uint32_t REGTYPE_BINARY = 3;
inline constexpr std::uint32_t REGTYPE_DWORD = 4;
inline constexpr std::uint32_t REGTYPE_MULTI_SZ = 7;

// Registry access masks, as the program passes them.
inline constexpr std::uint32_t KEYACCESS_READ = 0x20019;
inline constexpr std::uint32_t KEYACCESS_ALL = 0xF003F;

// MessageBoxA flags and results.
inline constexpr std::uint32_t MSGBOX_OK = 0x0000;
inline constexpr std::uint32_t MSGBOX_YESNOCANCEL = 0x0003;
inline constexpr std::uint32_t MSGBOX_YESNO = 0x0004;
inline constexpr std::uint32_t MSGBOX_ICONSTOP = 0x0010;
inline constexpr std::uint32_t MSGBOX_ICONQUESTION = 0x0020;
inline constexpr std::uint32_t MSGBOX_ICONEXCLAMATION = 0x0030;
inline constexpr std::uint32_t MSGBOX_ICONINFORMATION = 0x0040;
inline constexpr std::uint32_t MSGBOX_DEFBUTTON2 = 0x0100;
inline constexpr std::uint32_t MSGBOX_TASKMODAL = 0x2000;

inline constexpr int ANSWER_OK = 1;
inline constexpr int ANSWER_CANCEL = 2;
inline constexpr int ANSWER_YES = 6;
inline constexpr int ANSWER_NO = 7;

// GetOpenFileNameA options.
inline constexpr std::uint32_t OPENFILE_HIDEREADONLY = 0x00000004;
inline constexpr std::uint32_t OPENFILE_PATHMUSTEXIST = 0x00000800;
inline constexpr std::uint32_t OPENFILE_FILEMUSTEXIST = 0x00001000;
inline constexpr std::uint32_t OPENFILE_EXPLORER = 0x00080000;

// The values with which a dialog ends when its OK or Cancel button closes it.
inline constexpr std::intptr_t DIALOG_OK = 1;
inline constexpr std::intptr_t DIALOG_CANCEL = 2;

}  // namespace parvane
