#pragma once

// What an archive must pass before anything of it is written: every entry name gives a safe
// Windows file name inside the target folder, within 255 characters, and no name starts at a
// root, names a drive or climbs with ".."; no two entries with different data are written to
// one file; no entry is encrypted or uses a method other than stored or deflated; no entry
// overwrites an archive being unpacked; the declared sizes fit into the free space of the
// target's drive.

#include <cstdint>
#include <string>
#include <vector>

#include "archive/ZipReader.h"

namespace parvane {

// A name ending in '/': nothing is written for it.
bool IsFolderEntry(const ZipEntryInfo& info);
// The name an entry is written under: its last component, as Windows stores it.
std::string WrittenFileName(const ZipEntryInfo& info);
std::string OutputPath(const std::string& targetFolder, const std::string& fileName);

// Walks the whole archive from its first entry; false after an Error box naming what is
// wrong. `openArchives` holds the long path names of the archives being unpacked.
// `declaredBytes` is the sum of the files' declared sizes.
bool CheckArchiveBeforeExtraction(ZipReader& reader, const std::string& archivePath,
                                  const std::string& targetFolder,
                                  const std::vector<std::string>& openArchives,
                                  std::uint64_t& declaredBytes);

}  // namespace parvane
