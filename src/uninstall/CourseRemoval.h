#pragma once

// Removing one registered course, installed or cloaked: its entry, the files that belong to
// it, and its folder when nothing else is installed there.

#include "catalogue/Records.h"

namespace parvane {

// True when the course was unregistered (its files are then deleted as far as they may be);
// false when it was refused, the user declined, or unregistering failed, with nothing changed.
// The catalogue lists are not touched: the caller reloads them.
bool UninstallCourse(const CourseRecord& course);

}  // namespace parvane
