#include "archive/OriginLists.h"

#include <unordered_set>

#include "platform/AsciiCase.h"

namespace parvane {

namespace {

// The names in order, and their case-folded forms for lookups that stay fast however many
// files a package holds.
struct OriginList {
    std::vector<std::string> names;
    std::unordered_set<std::string> foldedNames;
};

OriginList tcxList;
OriginList prvList;
OriginList soundsList;

void Append(OriginList& list, const std::string& fileName) {
    list.names.push_back(fileName);
    list.foldedNames.insert(ToUpperAscii(fileName));
}

bool Contains(const OriginList& list, const std::string& fileName) {
    return !list.names.empty() && list.foldedNames.contains(ToUpperAscii(fileName));
}

void Clear(OriginList& list) {
    list.names.clear();
    list.foldedNames.clear();
}

}  // namespace

void ClearOriginLists() {
    Clear(tcxList);
    Clear(prvList);
    Clear(soundsList);
}

void AddTcxFile(const std::string& fileName) {
    Append(tcxList, fileName);
}
void AddPrvFile(const std::string& fileName) {
    Append(prvList, fileName);
}
void AddSoundsFile(const std::string& fileName) {
    Append(soundsList, fileName);
}

bool IsTcxFile(const std::string& fileName) {
    return Contains(tcxList, fileName);
}
bool IsPrvFile(const std::string& fileName) {
    return Contains(prvList, fileName);
}
bool IsSoundsFile(const std::string& fileName) {
    return Contains(soundsList, fileName);
}

const std::vector<std::string>& GetPrvFiles() {
    return prvList.names;
}
const std::vector<std::string>& GetSoundsFiles() {
    return soundsList.names;
}

}  // namespace parvane
