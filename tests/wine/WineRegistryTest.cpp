#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/wine/registry/RegistryMemo.h"
#include "platform/wine/registry/WineRegistry.h"
#include "support/wine/TestPrefix.h"

namespace parvane::wine {
namespace {

namespace fs = std::filesystem;

// A course entry of the game's store as Wine writes it.
std::string CourseKeyLines(int n, const char* name) {
    return "\n[Software\\\\Wow6432Node\\\\Quorlix\\\\Greenvale 06\\\\Courses\\\\{0000000" +
           std::to_string(n) +
           "-0000-0000-0000-000000000000}] 1796543990\n#time=1dd8557c4e49862\n#class=\"Parvane\"\n"
           "\"Name\"=\"" +
           name + "\"\n";
}

const std::string MACHINE_WIN64 =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to REGISTRY\\\\Machine\n"
    "\n"
    "#arch=win64\n"
    "\n"
    "[Software\\\\Wow6432Node\\\\Quorlix\\\\Greenvale 06] 1796543988\n"
    "#time=1dd8557c3e49862\n"
    "\"Install Dir\"=\"C:\\\\Games\\\\Greenvale 06\"\n" +
    CourseKeyLines(1, "Alpha") + CourseKeyLines(2, "Bravo") + CourseKeyLines(3, "Charlie") +
    "\n[Software\\\\Wow6432Node\\\\Quorlix\\\\Greenvale 06\\\\Libraries] 1796543990\n"
    "#time=1dd8557c4e49862\n";

const std::string USER =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n"
    "\n"
    "#arch=win64\n"
    "\n"
    "[Software\\\\Odd\\\\Br\\[ack\\]et] 1796543988\n"
    "#time=1dd8557c3e49862\n"
    "\"Blob\"=hex:00,01,ff\n"
    "\"Esc\"=\"back\\\\slash \\\"quoted\\\"\\nnext\\tcaf\\xe9 \\x00e99\"\n"
    "\"Multi\"=str(7):\"one\\0two\\0\"\n"
    "\"Number\"=dword:0000002a\n"
    "\n"
    "[Software\\\\Odd\\\\Wide] 1796543988\n"
    "#time=1dd8557c3e49862\n"
    "\"Cyrillic\"=\"\\x416\"\n"
    "\n"
    "[Software\\\\Odd\\\\\\x416] 1796543988\n"
    "#time=1dd8557c3e49862\n";

const std::string COURSES = "Software\\Quorlix\\Greenvale 06\\Courses";
const std::string COURSE_B = COURSES + "\\{00000002-0000-0000-0000-000000000000}";
const std::string ODD = "Software\\Odd\\Br[ack]et";

// A C string with its terminator, as a string value comes back from a query.
template <std::size_t N>
std::string Terminated(const char (&text)[N]) {
    return std::string(text, N);
}

// Replaces the first `from` of `text` with `to`.
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// A prefix's system.reg and user.reg, and the registry over them.
class RegistryPrefix : public ::testing::Test {
  protected:
    RegistryPrefix() {
        test::WriteHostFile(SystemReg(), MACHINE_WIN64);
        test::WriteHostFile(UserReg(), USER);
    }
    ~RegistryPrefix() override { registry.reset(); }

    fs::path SystemReg() const { return folder / "system.reg"; }
    fs::path UserReg() const { return folder / "user.reg"; }
    std::string SystemText() const { return test::ReadHostFile(SystemReg()); }
    std::string UserText() const { return test::ReadHostFile(UserReg()); }

    void Load(const fs::path& memo = {}) {
        registry = std::make_unique<WineRegistry>(folder, memo);
        std::string message;
        EXPECT_TRUE(registry->Load(message)) << message;
    }
    // Closes and forgets the registry, so that everything is saved.
    void Unload() { registry.reset(); }

    KeyHandle Open(Hive hive, const std::string& subKey) {
        KeyHandle key = 0;
        EXPECT_EQ(registry->OpenKey(hive, subKey, key), ERR_SUCCESS) << subKey;
        return key;
    }
    KeyHandle Create(Hive hive, const std::string& subKey, const std::string& keyClass = "") {
        KeyHandle key = 0;
        EXPECT_EQ(registry->CreateKey(hive, subKey, keyClass, key), ERR_SUCCESS) << subKey;
        return key;
    }
    std::string Query(Hive hive, const std::string& subKey, const std::string& valueName,
                      std::uint32_t* type = nullptr) {
        const KeyHandle key = Open(hive, subKey);
        std::uint32_t valueType = 0;
        std::string data;
        EXPECT_EQ(registry->QueryValue(key, valueName, 1024, valueType, data), ERR_SUCCESS)
            << valueName;
        registry->CloseKey(key);
        if (type != nullptr) {
            *type = valueType;
        }
        return data;
    }
    std::string Subkey(KeyHandle key, std::uint32_t index) {
        std::string name;
        EXPECT_EQ(registry->EnumKey(key, index, 256, name), ERR_SUCCESS) << index;
        return name;
    }

    test::TestPrefix prefix;
    const fs::path folder = prefix.Folder();
    std::unique_ptr<WineRegistry> registry;
};

TEST_F(RegistryPrefix, ValuesComeBackWithTheirTypesInCodePage1252) {
    Load();
    const struct {
        std::string key, value, data;
        std::uint32_t type;
    } values[] = {
        {ODD, "Esc", Terminated("back\\slash \"quoted\"\nnext\tcaf\xE9 \xE9\x39"), REGTYPE_SZ},
        {ODD, "Multi", Terminated("one\0two\0"), REGTYPE_MULTI_SZ},
        {ODD, "Number", Terminated("\x2a\0\0"), REGTYPE_DWORD},
        {ODD, "Blob", std::string("\0\1\xFF", 3), REGTYPE_BINARY},
    };
    for (const auto& value : values) {
        std::uint32_t type = 0;
        EXPECT_EQ(Query(Hive::CurrentUser, value.key, value.value, &type), value.data)
            << value.value;
        EXPECT_EQ(type, value.type) << value.value;
    }
    // Text outside the code page is an error, not a question mark.
    std::string text;
    KeyHandle key = Open(Hive::CurrentUser, "Software\\Odd");
    EXPECT_EQ(registry->EnumKey(key, 2, 256, text), ERR_NO_UNICODE_TRANSLATION);
    registry->CloseKey(key);
    key = Open(Hive::CurrentUser, "Software\\Odd\\Wide");
    std::uint32_t type = 0;
    EXPECT_EQ(registry->QueryValue(key, "Cyrillic", 256, type, text), ERR_NO_UNICODE_TRANSLATION);
    registry->CloseKey(key);
}

// The program is 32-bit: a 64-bit prefix shows it Software\Wow6432Node as Software.
TEST_F(RegistryPrefix, GameStoreIsUnderWow6432NodeOnlyInA64BitPrefix) {
    std::string win32 = Replaced(MACHINE_WIN64, "#arch=win64", "#arch=win32");
    for (std::size_t at; (at = win32.find("Wow6432Node\\\\")) != std::string::npos;) {
        win32.erase(at, std::string("Wow6432Node\\\\").size());
    }
    const struct {
        std::string systemReg;
        std::string newKeyHeader;
        std::string absent;
    } prefixes[] = {
        {MACHINE_WIN64, "\n[Software\\\\Wow6432Node\\\\Quorlix\\\\New\\\\Key] ",
         "[Software\\\\Quorlix"},
        {win32, "\n[Software\\\\Quorlix\\\\New\\\\Key] ", "Wow6432Node"},
    };
    for (const auto& item : prefixes) {
        SCOPED_TRACE(item.newKeyHeader);
        test::WriteHostFile(SystemReg(), item.systemReg);
        Load();
        EXPECT_EQ(Query(Hive::LocalMachine, "Software\\Quorlix\\Greenvale 06", "Install Dir"),
                  Terminated("C:\\Games\\Greenvale 06"));
        registry->CloseKey(Create(Hive::LocalMachine, "Software\\Quorlix\\New\\Key"));
        EXPECT_NE(SystemText().find(item.newKeyHeader), std::string::npos);
        EXPECT_EQ(SystemText().find(item.absent), std::string::npos);
        Unload();
    }
}

TEST_F(RegistryPrefix, DeletionIsSavedAtOnceMovesTheNextKeyDownAndRefusesItsHandles) {
    Load();
    KeyHandle key = Open(Hive::LocalMachine, COURSES);
    EXPECT_EQ(COURSES + "\\" + Subkey(key, 1), COURSE_B);
    const KeyHandle courseB = Open(Hive::LocalMachine, COURSE_B);
    EXPECT_EQ(registry->DeleteKey(Hive::LocalMachine, COURSE_B), ERR_SUCCESS);
    EXPECT_EQ(Subkey(key, 1), "{00000003-0000-0000-0000-000000000000}");
    std::string name;
    EXPECT_EQ(registry->EnumKey(key, 2, 256, name), ERR_NO_MORE_ITEMS);
    registry->CloseKey(key);
    // Only the deleted key's lines are gone (its parent is implied by its subkeys and has no
    // stamp in the file).
    EXPECT_EQ(SystemText(), Replaced(MACHINE_WIN64, CourseKeyLines(2, "Bravo"), ""));

    std::uint32_t type = 0;
    std::string data;
    EXPECT_EQ(registry->QueryValue(courseB, "Name", 256, type, data), ERR_KEY_DELETED);
    EXPECT_EQ(registry->SetValue(courseB, "Name", REGTYPE_SZ, "x"), ERR_KEY_DELETED);
    EXPECT_EQ(registry->CloseKey(courseB), ERR_SUCCESS);
    EXPECT_EQ(registry->OpenKey(Hive::LocalMachine, COURSE_B, key), ERR_FILE_NOT_FOUND);
}

TEST_F(RegistryPrefix, MissingOrUnreadableFileFailsWithPathAndLineAndIsNeverWritten) {
    std::string message;
    fs::remove(UserReg());
    EXPECT_FALSE(WineRegistry(folder).Load(message));
    EXPECT_NE(message.find(UserReg().string()), std::string::npos) << message;

    const std::string broken = Replaced(USER, "\"Number\"=dword:0000002a", "\"Number\"=dword:zz");
    test::WriteHostFile(UserReg(), broken);
    registry = std::make_unique<WineRegistry>(folder);
    EXPECT_FALSE(registry->Load(message));
    EXPECT_NE(message.find(UserReg().string() + " cannot be read at line 11"), std::string::npos)
        << message;
    KeyHandle key = 0;
    EXPECT_EQ(registry->CreateKey(Hive::CurrentUser, "Software\\New", "", key), ERR_BADDB);
    EXPECT_EQ(registry->DeleteKey(Hive::CurrentUser, "Software\\Odd\\Wide"), ERR_BADDB);
    Unload();
    EXPECT_EQ(UserText(), broken);
    EXPECT_EQ(SystemText(), MACHINE_WIN64);
}

TEST_F(RegistryPrefix, WriteFailureIsReportedAndTriedAgainLeavingNoTemporaryFile) {
    Load();
    const KeyHandle key = Create(Hive::CurrentUser, "Software\\New");
    fs::remove_all(folder);  // nowhere to write to
    EXPECT_EQ(registry->CloseKey(key), ERR_CANTWRITE);
    std::string message;
    EXPECT_FALSE(registry->SaveChanges(message));
    EXPECT_NE(message.find(UserReg().string()), std::string::npos) << message;
    fs::create_directory(folder);
    EXPECT_TRUE(registry->SaveChanges(message)) << message;
    EXPECT_NE(UserText().find("\n[Software\\\\New] "), std::string::npos);
    // No temporary file is left, and system.reg, unchanged, is not written.
    std::vector<fs::path> files(fs::directory_iterator(folder), fs::directory_iterator{});
    EXPECT_EQ(files, std::vector<fs::path>{UserReg()});
}

// Registry files written long ago, and a memo beside them.
class RegistryMemos : public RegistryPrefix {
  protected:
    RegistryMemos() { Age(); }

    void Age() {
        for (const fs::path& file : {SystemReg(), UserReg()}) {
            fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(1));
        }
    }
    // Fills system.reg with bytes that are no registry, keeping its stamp: only a registry
    // that reads nothing of the file can still answer.
    void SpoilSystemRegKeepingItsStamp() {
        struct stat before {};
        ASSERT_EQ(stat(SystemReg().c_str(), &before), 0);
        test::WriteHostFile(SystemReg(), std::string(SystemText().size(), '?'));
        const timespec times[2] = {before.st_atim, before.st_mtim};
        ASSERT_EQ(utimensat(AT_FDCWD, SystemReg().c_str(), times, 0), 0);
    }
    Win32Error QueryStatus(KeyHandle key, const std::string& valueName, std::uint32_t capacity) {
        std::uint32_t type = 0;
        std::string data;
        return registry->QueryValue(key, valueName, capacity, type, data);
    }

    const std::string GAME = "Software\\Quorlix\\Greenvale 06";
    const fs::path memo = folder / "memo.bin";
};

TEST_F(RegistryMemos, AnswerTheReadsOfTheLastRunWhileTheFilesAreUnchanged) {
    Load(memo);
    EXPECT_EQ(Query(Hive::LocalMachine, GAME, "Install Dir"),
              Terminated("C:\\Games\\Greenvale 06"));
    KeyHandle key = Open(Hive::LocalMachine, GAME);
    EXPECT_EQ(QueryStatus(key, "None", 256), ERR_FILE_NOT_FOUND);
    EXPECT_EQ(registry->OpenKey(Hive::CurrentUser, "Software\\None", key), ERR_FILE_NOT_FOUND);
    const std::string stamp = registry->Stamp();
    Unload();

    SpoilSystemRegKeepingItsStamp();
    Load(memo);
    EXPECT_EQ(registry->Stamp(), stamp);
    EXPECT_EQ(Query(Hive::LocalMachine, GAME, "Install Dir"),
              Terminated("C:\\Games\\Greenvale 06"));
    key = Open(Hive::LocalMachine, GAME);
    EXPECT_EQ(QueryStatus(key, "Install Dir", 5), ERR_MORE_DATA);
    EXPECT_EQ(QueryStatus(key, "None", 256), ERR_FILE_NOT_FOUND);
    KeyHandle none = 0;
    EXPECT_EQ(registry->OpenKey(Hive::CurrentUser, "Software\\None", none), ERR_FILE_NOT_FOUND);
    // A question the memo does not answer reads the files, which fail now.
    std::string name;
    EXPECT_EQ(registry->EnumKey(key, 0, 256, name), ERR_BADDB);
    EXPECT_EQ(registry->Stamp(), "");
    Unload();

    // Files written anew: the memo of the old ones is not taken.
    test::WriteHostFile(SystemReg(), Replaced(MACHINE_WIN64, "Games", "Golf"));
    Age();
    Load(memo);
    EXPECT_EQ(Query(Hive::LocalMachine, GAME, "Install Dir"), Terminated("C:\\Golf\\Greenvale 06"));
}

TEST_F(RegistryMemos, LearnWhatARunReadBeyondThem) {
    Load(memo);
    Query(Hive::LocalMachine, GAME, "Install Dir");
    Unload();

    Load(memo);
    const KeyHandle key = Open(Hive::LocalMachine, GAME);
    EXPECT_EQ(Subkey(key, 0), "Courses");
    EXPECT_EQ(Query(Hive::LocalMachine, COURSE_B, "Name"), Terminated("Bravo"));
    Unload();

    SpoilSystemRegKeepingItsStamp();
    Load(memo);
    EXPECT_EQ(Query(Hive::LocalMachine, GAME, "Install Dir"),
              Terminated("C:\\Games\\Greenvale 06"));
    EXPECT_EQ(Query(Hive::LocalMachine, COURSE_B, "Name"), Terminated("Bravo"));
    Unload();

    // Files written anew between the memo's answers and the read they lead to: what the old
    // files answered is not kept with the new files' stamp.
    Load(memo);
    const KeyHandle game = Open(Hive::LocalMachine, GAME);
    test::WriteHostFile(SystemReg(), Replaced(MACHINE_WIN64, "Games", "Golf"));
    Age();
    EXPECT_EQ(Subkey(game, 0), "Courses");
    registry->CloseKey(Open(Hive::LocalMachine, GAME + "\\Libraries"));  // a read to keep
    Unload();
    Load(memo);
    EXPECT_EQ(Query(Hive::LocalMachine, GAME, "Install Dir"), Terminated("C:\\Golf\\Greenvale 06"));
}

// Let go, the files are read again at the next question the memo does not answer; they are kept
// while a key is open and once the run wrote them (a read of them now could not be trusted).
TEST_F(RegistryMemos, AreLetGoOnlyWithNoKeyOpenAndNothingWrittenAndReadAgainWhenAsked) {
    Load(memo);
    const std::string stamp = registry->Stamp();
    const KeyHandle game = Open(Hive::LocalMachine, GAME);
    registry->Release();
    SpoilSystemRegKeepingItsStamp();
    EXPECT_EQ(Subkey(game, 0), "Courses");
    registry->CloseKey(game);
    registry->Release();
    EXPECT_EQ(registry->Stamp(), stamp);
    KeyHandle key = 0;
    EXPECT_EQ(registry->OpenKey(Hive::LocalMachine, GAME + "\\Libraries", key), ERR_BADDB);
    Unload();

    test::WriteHostFile(SystemReg(), MACHINE_WIN64);
    Age();
    Load(memo);
    const KeyHandle created = Create(Hive::LocalMachine, GAME + "\\New");
    registry->Release();
    EXPECT_EQ(registry->CloseKey(created), ERR_SUCCESS);
    registry->Release();
    SpoilSystemRegKeepingItsStamp();
    EXPECT_EQ(Query(Hive::LocalMachine, GAME, "Install Dir"),
              Terminated("C:\\Games\\Greenvale 06"));
}

// A run that changes the registry, or opens more keys than a memo holds, keeps no memo; a
// damaged memo is read past.
TEST_F(RegistryMemos, AreNotKeptOfChangesOrFullReadsAndNotTakenDamaged) {
    Load(memo);
    Query(Hive::LocalMachine, GAME, "Install Dir");
    const KeyHandle key = Create(Hive::LocalMachine, GAME);
    EXPECT_EQ(registry->SetValue(key, "Install Dir", REGTYPE_SZ, "D:\\GV"), ERR_SUCCESS);
    EXPECT_EQ(registry->CloseKey(key), ERR_SUCCESS);
    Unload();
    EXPECT_FALSE(fs::exists(memo));

    Age();
    Load(memo);
    EXPECT_EQ(Query(Hive::LocalMachine, GAME, "Install Dir"), Terminated("D:\\GV"));
    Unload();
    const std::string whole = test::ReadHostFile(memo);

    // A run that opens more keys than a memo holds keeps none.
    fs::remove(memo);
    Load(memo);
    for (std::size_t n = 0; n <= RegistryMemo::MAX_KEYS; ++n) {
        KeyHandle none = 0;
        registry->OpenKey(Hive::CurrentUser, "Software\\None" + std::to_string(n), none);
    }
    Unload();
    EXPECT_FALSE(fs::exists(memo));
    for (const std::string& damaged : {whole.substr(0, whole.size() - 1), std::string("memo")}) {
        test::WriteHostFile(memo, damaged);
        Load(memo);
        EXPECT_EQ(Query(Hive::LocalMachine, GAME, "Install Dir"), Terminated("D:\\GV"));
        Unload();
    }
}

}  // namespace
}  // namespace parvane::wine
