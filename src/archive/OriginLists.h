#pragma once

// Where the files of the package being installed came from: out of a .tcx archive, out of a
// prv folder, out of a sounds folder. ExtractArchive fills the three lists; classification and
// course installation read them. Names are bare file names, stored as written; membership
// ignores the case of A to Z.

#include <string>
#include <vector>

namespace parvane {

void ClearOriginLists();

void AddTcxFile(const std::string& fileName);
void AddPrvFile(const std::string& fileName);
void AddSoundsFile(const std::string& fileName);

bool IsTcxFile(const std::string& fileName);
bool IsPrvFile(const std::string& fileName);
bool IsSoundsFile(const std::string& fileName);

// The lists themselves, in the order the files were written, duplicates included; valid until
// the next clear or append.
const std::vector<std::string>& GetPrvFiles();
const std::vector<std::string>& GetSoundsFiles();

}  // namespace parvane
