#pragma once

// Installing the libraries of a package without a course.

#include <cstddef>

namespace parvane {

// Installs package library `index` of the install record, whose `filename` is already its
// full destination path in the record's target folder: refused when the catalogue knows the
// library (installed or cloaked), otherwise copied and registered. False after a message.
bool InstallLibrary(std::size_t index);

// Installs every library of a several-library package, one after the other, each into its own
// folder (the default library folder made from its name, or the LibraryFolder setting, then
// the folder dialog when the settings ask for it). A library that fails, or whose folder
// dialog is cancelled, is reported and skipped; the others are installed all the same. True
// when every library was installed.
bool InstallSeveralLibraries();

}  // namespace parvane
