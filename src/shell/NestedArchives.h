#pragma once

// MyZip archives: zip archives whose packages are themselves zip archives. Before an install
// run over the user's selection, each one is unpacked into a new folder of the program's own in
// the temporary folder (never beside itself, where it could overwrite the user's files) and
// replaced in the archive queue by its inner archives, which are deleted again after their
// installation; the folder goes with the last of them.

#include <cstdint>
#include <string>
#include <vector>

namespace parvane {

// Classifies every queued archive, replaces each MyZip archive by its inner archives (marked
// temporary) and orders the queue by kind, larger first: several libraries, one library,
// course, nothing installable. Archives of equal kind keep their order. A MyZip archive that
// cannot be wholly unpacked leaves the queue with nothing of it left on disk, after an Error;
// so does one nested in more than three others. Returns how many MyZip archives were refused
// so, which the run counts among the archives not installed.
std::int32_t ExpandMyZipArchives();

// Replaces the queue entry of `myZipPath` by the given inner archive paths, each temporary and
// classified, and moves the read cursor to the entry that followed the MyZip archive (or back
// to the start when there is none).
void ReplaceWithInnerArchives(const std::string& myZipPath,
                              const std::vector<std::string>& innerPaths);

// The index of the first queue entry whose path equals `path` exactly, or -1.
std::int32_t FindFileName(const std::string& path);

// Deletes the file of a temporary queue entry after its installation, once; does nothing for
// the user's own archives or any file the expansion did not write.
void DeleteTemporaryArchive(const std::string& path);

}  // namespace parvane
