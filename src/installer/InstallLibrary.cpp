#include "installer/InstallLibrary.h"

#include <string>

#include "archive/FileCompare.h"
#include "archive/Folders.h"
#include "archive/TempExtractionFolder.h"
#include "base/Messages.h"
#include "base/PathText.h"
#include "base/StopRequest.h"
#include "catalogue/Catalogue.h"
#include "catalogue/HeaderReaders.h"
#include "catalogue/Registration.h"
#include "installer/ContentFolders.h"
#include "installer/InstallPaths.h"
#include "installer/InstallRecord.h"
#include "installer/PlaceFile.h"
#include "installer/TargetFolderDialog.h"
#include "journal/Change.h"
#include "properties/Properties.h"

namespace parvane {

namespace {

std::string UnpackedFile(const std::string& fileName) {
    return JoinPath(GetTempExtractionFolder(), GetFileNamePart(fileName));
}

bool CheckLibraryNotInstalled(const LibraryRecord& library, const std::string& newFile) {
    if (!IsLibraryKnown(library.guidText)) {
        return true;
    }
    const LibraryRecord* installed = FindLibrary(library.guidText);
    if (FilesDiffer(newFile, installed->filename)) {
        ShowError(
            "Parvane has detected that the included library '%s'\nis already installed as '%s' "
            "on your system, and the\ncontents of the library file on your system differs from "
            "the contents of\nthe library file you are about to install. Either the designer "
            "made an upgrade\nto an old library, or made a mistake by reusing an old library "
            "source file when\ncreating a new library. Please notify the site from which you "
            "downloaded the\nlibrary about the situation.\n\nTo properly install this library "
            "you need to uninstall your copy of the library\nand then try to install the "
            "library again. Please note that if you choose to install\na new version of this "
            "library, courses that uses the older version of the library\nmay not work "
            "properly anymore.",
            library.name.c_str(), installed->name.c_str());
    } else {
        ShowError(
            "You are trying to install '%s',\nbut that library is already installed on "
            "your system.",
            library.name.c_str());
    }
    return false;
}

// The folder one library of a several-library package goes to, settled for it alone: its
// default folder or the LibraryFolder setting, then the user's choice when the settings ask
// for one. A name that gives no usable folder fails this library only.
bool ChooseLibraryFolder(const std::string& unpackedFile, std::string& folder) {
    NameAndGuid header;
    if (!GetHeaderNameAndGuid(unpackedFile, header)) {
        ShowError("Couldn't get library name from file '%s'", unpackedFile.c_str());
        return false;
    }
    if (!LibraryTargetFolder(header.name, unpackedFile, folder)) {
        return false;
    }
    return !IsPropertyOn(PROPERTY_ASK_FOR_TARGET_FOLDER) || TargetFolderDialog(folder);
}

bool InstallNextOfSeveral(std::size_t index) {
    InstallRecord& record = TheInstallRecord();
    const std::string fileName = record.libraries[index].filename;
    ShowSubject(record.libraries[index].name);
    std::string folder;
    if (!ChooseLibraryFolder(UnpackedFile(fileName), folder) || !CheckTargetFolder(folder)) {
        return false;
    }
    const std::string destination = JoinPath(folder, fileName);
    if (!CheckDestinationLength(destination)) {
        return false;
    }
    record.targetFolder = folder;
    record.libraries[index].filename = destination;
    return InstallLibrary(index);
}

}  // namespace

bool InstallLibrary(std::size_t index) {
    InstallRecord& record = TheInstallRecord();
    LibraryRecord& library = record.libraries[index];
    const std::string newFile = UnpackedFile(library.filename);
    return CheckLibraryNotInstalled(library, newFile) && CreateFolderPath(record.targetFolder) &&
           PlaceUnpackedFile(newFile, library.filename) && RegisterLibrary(library);
}

bool InstallSeveralLibraries() {
    int failures = 0;
    for (std::size_t index = 0; index < TheInstallRecord().libraries.size(); ++index) {
        const std::size_t mark = ChangeMark();
        if (!InstallNextOfSeveral(index)) {
            ++failures;
            UndoChangeTo(mark);  // nothing of this library stays
        }
        // The library that saw the stop request has said so; the rest are not begun.
        if (IsStopRequested()) {
            return false;
        }
    }
    return failures == 0;
}

}  // namespace parvane
