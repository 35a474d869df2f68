#pragma once

#include <string>

#include "platform/Win32Codes.h"

namespace parvane {

// The C runtime's error text (strerror) for the errno that the Windows runtime derives from a
// Win32 error, so that "Couldn't create file '%s': %s" reads the same on every backend.
std::string RuntimeErrorText(Win32Error error);

}  // namespace parvane
