#include "base/ProgramFolder.h"

#include "platform/Machine.h"

namespace parvane {

std::string GetProgramFolder() {
    std::string modulePath;
    if (TheMachine().ModulePath(modulePath) != ERR_SUCCESS) {
        return {};
    }
    const std::size_t lastBackslash = modulePath.rfind('\\');
    return lastBackslash == std::string::npos ? std::string() : modulePath.substr(0, lastBackslash);
}

}  // namespace parvane
