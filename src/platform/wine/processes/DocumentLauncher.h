#pragma once

// WinExec for a Wine prefix. Windows programs are not started: running one would start a
// wineserver, which then owns the prefix's registry files while this program writes them.
// Instead the document that the command names is opened with the host's own handler
// (xdg-open), which is what the program's commands ask for: a browser showing a page.

#include <cstdint>
#include <filesystem>
#include <string>

namespace parvane::wine {

// The document of a command line "<program> <document>": the longest tail after a blank that
// names an existing file (quotes around it are dropped); false when there is none.
bool FindDocumentInCommand(const std::filesystem::path& prefix, const std::string& commandLine,
                           std::filesystem::path& document);

// WinExec: 33 after handing the document to xdg-open, 2 (file not found) when the command
// names no existing document or the host has no xdg-open.
std::uint32_t RunCommand(const std::filesystem::path& prefix, const std::string& commandLine);

}  // namespace parvane::wine
