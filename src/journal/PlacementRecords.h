#pragma once

// The record of what one installation placed, kept per installed course or library in the
// state folder (records\<GUID>.txt): the entry, the archive it came from with its SHA-1, the
// time, and every placed file with its size and SHA-1. `verify` compares the disk with it;
// removing the entry removes its record.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Machine.h"

namespace parvane {

struct PlacedFile {
    std::string path;
    std::uint64_t size = 0;
    std::string sha1;  // 40 hexadecimal digits
};

struct PlacementRecord {
    std::string guidText;
    std::string kind;  // "course" or "library"
    std::string name;
    std::string archiveName;
    std::string archiveSha1;
    std::string time;
    std::vector<PlacedFile> files;
};

// The size and SHA-1 of a file; false when it cannot be read.
bool HashFile(Machine& machine, const std::string& path, std::uint64_t& size, std::string& sha1);

bool WritePlacementRecord(Machine& machine, const PlacementRecord& record);
// False when the entry has no record (or it cannot be read).
bool ReadPlacementRecord(Machine& machine, const std::string& guidText, PlacementRecord& record);
void RemovePlacementRecord(Machine& machine, const std::string& guidText);

struct FileProblem {
    std::string path;
    bool missing = false;  // else changed: another size or content
};

std::vector<FileProblem> VerifyPlacedFiles(Machine& machine, const PlacementRecord& record);

}  // namespace parvane
