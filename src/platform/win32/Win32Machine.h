#pragma once

// The machine the program runs on when it runs on Windows.

#include <memory>

#include "platform/Machine.h"

namespace parvane::win32 {

std::unique_ptr<Machine> MakeWin32Machine();

}  // namespace parvane::win32
