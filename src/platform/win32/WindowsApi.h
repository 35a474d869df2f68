#pragma once

// <windows.h> as the Win32 backend uses it: the single-byte ("A") entry points, no min/max
// macros, nothing the backend does not need.

#ifdef UNICODE
#error "The Win32 backend calls the single-byte (A) entry points; build without UNICODE."
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
