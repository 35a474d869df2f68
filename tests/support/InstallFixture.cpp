#include "support/InstallFixture.h"

#include <algorithm>

#include "archive/Folders.h"
#include "archive/OriginLists.h"
#include "base/GameFolders.h"
#include "base/RegistryRoots.h"
#include "catalogue/Catalogue.h"
#include "catalogue/HeaderReaders.h"
#include "catalogue/Registration.h"
#include "installer/InstallArchive.h"
#include "installer/InstallRecord.h"
#include "properties/Properties.h"
#include "support/ContentFiles.h"

namespace parvane::test {

namespace {

std::string Text(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

void ForgetInstallation() {
    TheCatalogue() = Catalogue{};
    ClearInstallRecord();
    ClearOriginLists();
    ForgetGameFolders();
    ForgetTempExtractionFolder();
}

void CollectFiles(const std::string& folder, const std::string& relative,
                  std::vector<std::string>& files) {
    std::vector<FolderEntry> entries;
    TheMachine().ListFolder(folder + "\\*.*", entries);
    for (const FolderEntry& entry : entries) {
        if (entry.name == "." || entry.name == "..") {
            continue;
        }
        if ((entry.attributes & ATTR_DIRECTORY) != 0) {
            CollectFiles(folder + "\\" + entry.name, relative + entry.name + "\\", files);
        } else {
            files.push_back(relative + entry.name);
        }
    }
}

}  // namespace

std::string GuidTextOf(std::uint32_t guid) {
    return GuidToText(TestGuid(guid));
}

std::string CourseData(const std::string& name, std::uint32_t guid,
                       const std::vector<Reference>& references, std::size_t padding) {
    CourseFileContent content;
    content.guid = TestGuid(guid);
    content.name = name;
    content.totalSize += padding;
    for (const Reference& reference : references) {
        content.libraryGuids.push_back(TestGuid(reference.guid));
        content.libraryNames.push_back(reference.name);
    }
    return Text(CourseFileBytes(content));
}

std::string LibraryData(const std::string& name, std::uint32_t guid, std::size_t padding) {
    return Text(LibraryFileBytes({TestGuid(guid), name, NAME_BLOCK_SIZE + padding}));
}

std::string LibraryData(const std::string& name, const GUID& guid) {
    return Text(LibraryFileBytes({guid, name}));
}

InstallTest::InstallTest() {
    ForgetInstallation();
    ResetProperties();
    SetProperty(PROPERTY_TARGET_FOLDER, GameDir());
    for (const char* key : {PROPERTY_WARN_ON_OVERWRITE_FILE, PROPERTY_ASK_FOR_TARGET_FOLDER,
                            PROPERTY_ASK_FOR_INSTALL_PROCEED, PROPERTY_ASK_FOR_FLAG}) {
        SetProperty(key, "0");
    }
    SetProperty(PROPERTY_WARN_ON_CLOAKED_LIBRARIES, "1");
    SetProperty(PROPERTY_USE_DEFAULT_LIBRARY_FOLDER, "1");
    machine.SetString(Hive::CurrentUser, SHELL_FOLDERS_KEY, PERSONAL_FOLDER_VALUE, Documents());
}

InstallTest::~InstallTest() {
    RemoveFolder(GetTempExtractionFolder());
    ForgetInstallation();
    ResetProperties();
}

std::string InstallTest::Package(const std::vector<ZipFileEntry>& entries,
                                 const std::string& name) {
    const std::string path = Scratch() + "\\" + name;
    EXPECT_TRUE(WriteZipFile(path, entries));
    return path;
}

bool InstallTest::Install(const std::string& archivePath) {
    result = InstallResult{};
    return InstallArchive(archivePath, result);
}

void InstallTest::AddInstalledLibrary(const std::string& name, const std::string& data) {
    LibraryRecord library;
    library.filename = LibraryFolder(name) + "\\" + name + ".tcl";
    machine.WriteFile(library.filename, data);
    NameAndGuid header;
    ASSERT_TRUE(GetHeaderNameAndGuid(library.filename, header));
    library.guidText = GuidToText(header.guid);
    library.name = name;
    ASSERT_TRUE(RegisterLibrary(library));
}

void InstallTest::AddCloakedLibrary(std::uint32_t guid, const std::string& name) {
    LibraryRecord library;
    library.guidText = GuidTextOf(guid);
    library.name = name;
    library.headerName = name;
    TheCatalogue().cloakedLibraries.Append(library);
}

bool InstallTest::IsRegistered(const char* store, std::uint32_t guid) {
    return machine.KeyExists(GAME_HIVE, std::string(store) + "\\" + GuidTextOf(guid));
}

std::string InstallTest::RegistryValue(const char* store, std::uint32_t guid, const char* name) {
    std::string value;
    EXPECT_TRUE(
        machine.QueryString(GAME_HIVE, std::string(store) + "\\" + GuidTextOf(guid), name, value))
        << name;
    return value;
}

std::vector<std::string> InstallTest::FilesBelow(const std::string& folder) {
    std::vector<std::string> files;
    CollectFiles(folder, "", files);
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace parvane::test
