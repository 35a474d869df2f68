#include "shell/RunningPrograms.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "platform/AsciiCase.h"
#include "platform/Machine.h"

namespace parvane {

namespace {

constexpr std::array<std::string_view, 4> CONFLICTING_PROGRAMS = {
    "ARCHITECT.EXE", "LC2006.EXE", "GV2006.EXE", "COURSEUTILITIES.EXE"};
constexpr std::string_view PROGRAM_IMAGE_NAME = "PARVANE.EXE";

bool IsConflictingProgram(std::string_view imageName) {
    for (const std::string_view program : CONFLICTING_PROGRAMS) {
        if (EqualsNoCase(imageName, program)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool CheckRunningPrograms(bool& anotherInstance) {
    anotherInstance = false;
    std::vector<std::string> imageNames;
    if (TheMachine().ProcessImageNames(imageNames) != ERR_SUCCESS) {
        return false;
    }
    int ownCopies = 0;
    bool conflict = false;
    for (const std::string& imageName : imageNames) {
        if (IsConflictingProgram(imageName)) {
            conflict = true;
            break;
        }
        if (EqualsNoCase(imageName, PROGRAM_IMAGE_NAME)) {
            ++ownCopies;
        }
    }
    anotherInstance = ownCopies > 1;
    return conflict;
}

}  // namespace parvane
