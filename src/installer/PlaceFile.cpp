#include "installer/PlaceFile.h"

#include <algorithm>
#include <cstdint>

#include "archive/Folders.h"
#include "base/Messages.h"
#include "base/PathText.h"
#include "base/StopRequest.h"
#include "platform/Machine.h"
#include "properties/Properties.h"

namespace parvane {

namespace {

bool GetAttributes(const std::string& path, std::uint32_t& attributes) {
    return TheMachine().GetAttributes(path, attributes) == ERR_SUCCESS;
}

// Unlike the other switches, any value but 0 turns the question on, negative ones included.
bool IsOverwriteQuestionOn() {
    return GetPropertyNumber(PROPERTY_WARN_ON_OVERWRITE_FILE) != 0;
}

bool CreateMissingFolder(const std::string& folder) {
    std::uint32_t attributes = 0;
    return GetAttributes(folder, attributes) || CreateFolderPath(folder);
}

enum class Overwrite { Replace, Keep, Stop };

Overwrite DecideOverwrite(const std::string& destination, std::uint32_t attributes) {
    if ((attributes & ATTR_DIRECTORY) != 0) {
        ShowError(
            "The target file '%s' exists and is a directory.\nPlease re-run the installation "
            "and choose a different path.",
            destination.c_str());
        return Overwrite::Stop;
    }
    if ((attributes & ATTR_READONLY) != 0) {
        ShowError(
            "The target file '%s' exists and has the read-only attribute set.\nPlease re-run "
            "the installation and choose a different path.",
            destination.c_str());
        return Overwrite::Stop;
    }
    if (!IsOverwriteQuestionOn()) {
        return Overwrite::Replace;
    }
    switch (AskYesNoCancel(
        ANSWER_NO,
        "The target file '%s' already exists.\nDo you want Parvane to overwrite the existing "
        "file with the new file?\n\nPress Yes if you like Parvane to overwrite the existing "
        "file.\nPress No to keep the existing file.\nPress Cancel to terminate the "
        "installation.\n",
        destination.c_str())) {
        case ANSWER_YES:
            return Overwrite::Replace;
        case ANSWER_NO:
            return Overwrite::Keep;
        default:
            return Overwrite::Stop;
    }
}

// A free name beside the destination and no longer than the longest path the program takes,
// so that every destination it allows can be replaced (GetTempFileNameA's names need room
// that a deep folder does not leave): "~<n>" before the destination's name, cut to fit.
Win32Error FreeNameBeside(const std::string& folder, const std::string& destination,
                          std::string& temporary) {
    const std::string name = GetFileNamePart(destination);
    const std::size_t room = MAX_PATH_LENGTH - std::min(MAX_PATH_LENGTH, folder.size() + 1);
    for (int number = 0; number < 1000; ++number) {
        const std::string candidate = ("~" + std::to_string(number) + name).substr(0, room);
        std::uint32_t attributes = 0;
        const Win32Error error =
            TheMachine().GetAttributes(JoinPath(folder, candidate), attributes);
        if (error == ERR_FILE_NOT_FOUND) {
            temporary = JoinPath(folder, candidate);
            return ERR_SUCCESS;
        }
        if (error != ERR_SUCCESS) {
            return error;
        }
    }
    return ERR_FILE_EXISTS;
}

// A copy under a temporary name beside the destination, then moved over it in one step: a
// copy that fails part-way never leaves a torn file where a good one stood. `leftover` names
// a temporary copy that could not be removed again.
Win32Error CopyOverExisting(const std::string& source, const std::string& folder,
                            const std::string& destination, std::string& leftover) {
    Machine& machine = TheMachine();
    std::string temporary;
    Win32Error error = FreeNameBeside(folder, destination, temporary);
    if (error != ERR_SUCCESS) {
        return error;
    }
    error = machine.CopyFileOver(source, temporary);
    if (error == ERR_SUCCESS) {
        error = machine.MoveFileOver(temporary, destination);
    }
    if (error != ERR_SUCCESS) {
        const Win32Error removal = machine.RemoveFile(temporary);
        if (removal != ERR_SUCCESS && removal != ERR_FILE_NOT_FOUND) {
            leftover = temporary;
        }
    }
    return error;
}

// Where nothing stood, a copy that fails leaves nothing either.
Win32Error CopyToNew(const std::string& source, const std::string& destination,
                     std::string& leftover) {
    const Win32Error error = TheMachine().CopyFileOver(source, destination);
    if (error != ERR_SUCCESS && TheMachine().RemoveFile(destination) != ERR_SUCCESS) {
        std::uint32_t attributes = 0;
        if (GetAttributes(destination, attributes)) {
            leftover = destination;
        }
    }
    return error;
}

enum class Transfer { Copy, Move };

// An existing file is replaced in one step, with the new data on the disk first.
Win32Error PutInPlace(const std::string& source, const std::string& folder,
                      const std::string& destination, bool replacing, Transfer transfer,
                      std::string& leftover) {
    if (transfer == Transfer::Copy) {
        return replacing ? CopyOverExisting(source, folder, destination, leftover)
                         : CopyToNew(source, destination, leftover);
    }
    return replacing ? TheMachine().MoveFileOver(source, destination)
                     : TheMachine().MoveFileTo(source, destination);
}

void ShowCopyError(const std::string& destination, Win32Error error,
                   const std::string& leftover = {}) {
    const std::string removal =
        leftover.empty() ? std::string()
                         : "\nThe unfinished copy '" + leftover + "' could not be removed.";
    ShowError("Couldn't copy to file '%s', return code=%d%s", destination.c_str(),
              static_cast<int>(error), removal.c_str());
}

bool Place(const std::string& source, const std::string& destination, Transfer transfer) {
    // A stop request ends the installation between two files, never within one.
    if (IsStopRequested()) {
        ShowStoppedMessage();
        return false;
    }
    if (source.empty()) {
        return true;
    }
    // Only a source that is not there (a file the package lacks) is passed over; one that
    // cannot be looked at would otherwise be left out without a word.
    std::uint32_t attributes = 0;
    const Win32Error probe = TheMachine().GetAttributes(source, attributes);
    if (probe == ERR_FILE_NOT_FOUND || probe == ERR_PATH_NOT_FOUND) {
        return true;
    }
    if (probe != ERR_SUCCESS) {
        ShowCopyError(destination, probe);
        return false;
    }
    const std::string folder = GetFolderPart(destination);
    if (!CreateMissingFolder(folder)) {
        return false;
    }
    const bool replacing = GetAttributes(destination, attributes);
    if (replacing) {
        switch (DecideOverwrite(destination, attributes)) {
            case Overwrite::Keep:
                return true;
            case Overwrite::Stop:
                return false;
            case Overwrite::Replace:
                break;
        }
    }
    std::string leftover;
    const Win32Error error = PutInPlace(source, folder, destination, replacing, transfer, leftover);
    if (error != ERR_SUCCESS) {
        ShowCopyError(destination, error, leftover);
        return false;
    }
    return true;
}

}  // namespace

bool PlaceFile(const std::string& source, const std::string& destination) {
    return Place(source, destination, Transfer::Copy);
}

bool PlaceUnpackedFile(const std::string& source, const std::string& destination) {
    return Place(source, destination, Transfer::Move);
}

}  // namespace parvane
