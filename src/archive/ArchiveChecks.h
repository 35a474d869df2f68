#pragma once

// What an archive must pass before anything of it is written: every entry name gives a safe
// Windows file name inside the target folder, within 255 characters, and no name starts at a
// root, names a drive or climbs with ".."; no two entries with different data are written to
// one file, unless the later may simply win; no entry is encrypted or uses a method other than
// stored or deflated; no entry overwrites an archive being unpacked; the declared sizes fit into
// the free space of the target's drive.

#include <cstdint>
#include <string>
#include <vector>

#include "archive/ZipReader.h"

namespace parvane {

// A name ending in '/': nothing is written for it.
bool IsFolderEntry(const ZipEntryInfo& info);
// Entries ending in .zip, .exe or .tcx are archives themselves.
bool IsInnerArchiveName(const std::string& fileName);
// The name an entry is written under: its last component, as Windows stores it.
std::string WrittenFileName(const ZipEntryInfo& info);
std::string OutputPath(const std::string& targetFolder, const std::string& fileName);

// What the checks leave to write.
struct ExtractionPlan {
    // By entry, in archive order: true for an entry that is not written (a packer's leftover,
    // or a file that a later entry of the same name replaces).
    std::vector<bool> skipped;
    // The sum of the declared sizes of the files that are written.
    std::uint64_t declaredBytes = 0;
};

// Walks the whole archive from its first entry; false after an Error box naming what is
// wrong. `openArchives` holds the long path names of the archives being unpacked.
bool CheckArchiveBeforeExtraction(ZipReader& reader, const std::string& archivePath,
                                  const std::string& targetFolder,
                                  const std::vector<std::string>& openArchives,
                                  ExtractionPlan& plan);

}  // namespace parvane
