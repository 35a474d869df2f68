#include "support/InstallFixture.h"

#include "archive/Folders.h"
#include "archive/OriginLists.h"
#include "archive/TempExtractionFolder.h"
#include "base/GameFolders.h"
#include "base/RegistryRoots.h"
#include "catalogue/Catalogue.h"
#include "catalogue/HeaderReaders.h"
#include "catalogue/Registration.h"
#include "installer/InstallArchive.h"
#include "installer/InstallRecord.h"
#include "properties/Properties.h"
#include "support/ContentFiles.h"
#include "support/ProcessStateResets.h"

namespace parvane::test {

namespace {

std::string Text(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

void ForgetInstallation() {
    TheCatalogue() = Catalogue{};
    ClearInstallRecord();
    ClearOriginLists();
    ForgetGameFolders();
    ForgetTempExtractionFolder();
    ResetProperties();
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

std::string LibraryData(const std::string& name, const GUID& guid, std::size_t padding) {
    return Text(LibraryFileBytes({guid, name, NAME_BLOCK_SIZE + padding}));
}

std::string LibraryData(const std::string& name, std::uint32_t guid, std::size_t padding) {
    return LibraryData(name, TestGuid(guid), padding);
}

void SetQuietInstallProperties(const std::string& targetFolder) {
    SetProperty(PROPERTY_TARGET_FOLDER, targetFolder);
    for (const char* key : {PROPERTY_WARN_ON_OVERWRITE_FILE, PROPERTY_ASK_FOR_TARGET_FOLDER,
                            PROPERTY_ASK_FOR_INSTALL_PROCEED, PROPERTY_ASK_FOR_FLAG}) {
        SetProperty(key, "0");
    }
    SetProperty(PROPERTY_WARN_ON_CLOAKED_LIBRARIES, "1");
    SetProperty(PROPERTY_USE_DEFAULT_LIBRARY_FOLDER, "1");
}

InstallTest::InstallTest() {
    ForgetInstallation();
    SetQuietInstallProperties(GameDir());
    machine.SetString(Hive::CurrentUser, SHELL_FOLDERS_KEY, PERSONAL_FOLDER_VALUE, Documents());
}

InstallTest::~InstallTest() {
    RemoveFolder(GetTempExtractionFolder());
    ForgetInstallation();
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
    library.name = name;
    machine.WriteFile(library.filename, data);
    NameAndGuid header;
    ASSERT_TRUE(GetHeaderNameAndGuid(library.filename, header));
    library.guidText = GuidToText(header.guid);
    ASSERT_TRUE(RegisterLibrary(library));
}

void InstallTest::AddCloakedLibrary(std::uint32_t guid, const std::string& name) {
    LibraryRecord library;
    library.guidText = GuidToText(TestGuid(guid));
    library.name = library.headerName = name;
    TheCatalogue().cloakedLibraries.Append(library);
}

std::string InstallTest::RegistryValue(const char* store, std::uint32_t guid, const char* name) {
    std::string value;
    const std::string key = std::string(store) + "\\" + GuidToText(TestGuid(guid));
    return machine.QueryString(GAME_HIVE, key, name, value) ? value : "(none)";
}

}  // namespace parvane::test
