#include "base/StateFolder.h"

#include <utility>

namespace parvane {

namespace {
std::string stateFolder;
}  // namespace

const std::string& StateFolder() {
    return stateFolder;
}

void SetStateFolder(std::string folder) {
    stateFolder = std::move(folder);
}

}  // namespace parvane
