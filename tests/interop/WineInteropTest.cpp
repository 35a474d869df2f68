// The Wine backend and Wine itself share a prefix's registry files: what one writes, the other
// reads, in the 32-bit view of HKEY_LOCAL_MACHINE\Software, accented names included. Runs in
// the wine suite's throwaway prefix (WINEPREFIX), with `wine` on the path.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "interop/WineCommands.h"
#include "platform/wine/WineMachine.h"

namespace parvane::wine {
namespace {

using test::Environment;
using test::Quoted;
using test::ReadAll;
using test::RunCommand;
using test::WaitForWineserver;

const std::string INTEROP_KEY = "Software\\Parvane Interop";

class WineInterop : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(prefix.empty()) << "WINEPREFIX names no prefix";
        ASSERT_TRUE(std::filesystem::exists(prefix / "system.reg")) << prefix;
        WaitForWineserver();
    }

    void TearDown() override {
        WaitForWineserver();
        std::unique_ptr<WineMachine> machine = Open();
        if (machine) {
            DeleteTree(*machine, INTEROP_KEY);
        }
    }

    std::unique_ptr<WineMachine> Open() {
        std::string message;
        std::unique_ptr<WineMachine> machine = OpenWineMachine(prefix, message);
        EXPECT_NE(machine, nullptr) << message;
        return machine;
    }

    static void DeleteTree(Machine& machine, const std::string& subKey) {
        KeyHandle key = 0;
        if (machine.OpenKey(Hive::LocalMachine, subKey, key) != ERR_SUCCESS) {
            return;
        }
        std::vector<std::string> names;
        std::string name;
        for (std::uint32_t index = 0; machine.EnumKey(key, index, 256, name) == ERR_SUCCESS;
             ++index) {
            names.push_back(name);
        }
        machine.CloseKey(key);
        for (const std::string& child : names) {
            DeleteTree(machine, subKey + "\\" + child);
        }
        machine.DeleteKey(Hive::LocalMachine, subKey);
    }

    static std::string QueryText(Machine& machine, const std::string& subKey,
                                 const std::string& name, std::uint32_t& type) {
        KeyHandle key = 0;
        std::string data;
        if (machine.OpenKey(Hive::LocalMachine, subKey, key) == ERR_SUCCESS) {
            if (machine.QueryValue(key, name, 1024, type, data) != ERR_SUCCESS) {
                data = "(no value " + name + ")";
            }
            machine.CloseKey(key);
        } else {
            data = "(no key " + subKey + ")";
        }
        return data;
    }

    const std::filesystem::path prefix = Environment("WINEPREFIX");
};

// `reg` writes to a pipe in the console's code page, 437: e with acute is 0x82, e with grave
// 0x8A, u with circumflex 0x96.
TEST_F(WineInterop, KeysTheWineBackendWroteAreReadByWineReg) {
    {
        std::unique_ptr<WineMachine> machine = Open();
        ASSERT_NE(machine, nullptr);
        KeyHandle key = 0;
        ASSERT_EQ(machine->CreateKey(Hive::LocalMachine, INTEROP_KEY + "\\Caf\xE9", "", key),
                  ERR_SUCCESS);
        ASSERT_EQ(machine->SetValue(key, "Cr\xE8me", REGTYPE_SZ,
                                    "Br\xFBl\xE9"
                                    "e"),
                  ERR_SUCCESS);
        ASSERT_EQ(machine->SetValue(key, "Count", REGTYPE_DWORD, std::string("\x2A\0\0\0", 4)),
                  ERR_SUCCESS);
        machine->CloseKey(key);
        std::string message;
        ASSERT_TRUE(machine->Registry().SaveChanges(message)) << message;
    }

    const std::string seen64 = RunCommand(
        "wine reg query " + Quoted("HKLM\\Software\\Wow6432Node\\Parvane Interop\\Café"));
    EXPECT_NE(seen64.find("Cr\x8Ame    REG_SZ    Br\x96l\x82"
                          "e"),
              std::string::npos)
        << seen64;
    EXPECT_NE(seen64.find("Count    REG_DWORD    0x2a"), std::string::npos) << seen64;

    const std::string seen32 = RunCommand(
        "wine reg query " + Quoted("HKLM\\Software\\Parvane Interop\\Café") + " /reg:32");
    EXPECT_NE(seen32.find("Cr\x8Ame    REG_SZ    Br\x96l\x82"
                          "e"),
              std::string::npos)
        << seen32;
}

TEST_F(WineInterop, KeysWineRegAddedAreReadByTheWineBackend) {
    const std::string viaView =
        RunCommand("wine reg add " + Quoted("HKLM\\Software\\Parvane Interop\\Añadido") +
                   " /v Nombre /t REG_SZ /d " + Quoted("Crème brûlée") + " /f /reg:32");
    ASSERT_EQ(viaView.find("[exit status"), std::string::npos) << viaView;
    const std::string viaNode = RunCommand(
        "wine reg add " + Quoted("HKLM\\Software\\Wow6432Node\\Parvane Interop\\Añadido") +
        " /v Count /t REG_DWORD /d 42 /f");
    ASSERT_EQ(viaNode.find("[exit status"), std::string::npos) << viaNode;
    WaitForWineserver();

    std::unique_ptr<WineMachine> machine = Open();
    ASSERT_NE(machine, nullptr);
    std::uint32_t type = 0;
    EXPECT_EQ(QueryText(*machine,
                        INTEROP_KEY + "\\A\xF1"
                                      "adido",
                        "Nombre", type),
              std::string("Cr\xE8me br\xFBl\xE9"
                          "e\0",
                          13));
    EXPECT_EQ(type, REGTYPE_SZ);
    EXPECT_EQ(QueryText(*machine,
                        INTEROP_KEY + "\\A\xF1"
                                      "adido",
                        "Count", type),
              std::string("\x2A\0\0\0", 4));
    EXPECT_EQ(type, REGTYPE_DWORD);
}

TEST_F(WineInterop, KeysTheWin32BackendWroteLieUnderWow6432Node) {
    const std::string writer = Environment("PARVANE_REGISTRY_WRITER");
    ASSERT_FALSE(writer.empty()) << "PARVANE_REGISTRY_WRITER names no program";
    const std::string written =
        RunCommand("wine " + Quoted(writer) + " " + Quoted(INTEROP_KEY + "\\Win32") + " Name " +
                   Quoted("Written by the Win32 backend"));
    ASSERT_EQ(written.find("[exit status"), std::string::npos) << written;
    WaitForWineserver();

    const std::string systemReg = ReadAll(prefix / "system.reg");
    EXPECT_NE(systemReg.find("\n[Software\\\\Wow6432Node\\\\Parvane Interop\\\\Win32] "),
              std::string::npos);
    EXPECT_EQ(systemReg.find("\n[Software\\\\Parvane Interop\\\\Win32] "), std::string::npos);
    EXPECT_NE(systemReg.find("\n\"Name\"=\"Written by the Win32 backend\"\n"), std::string::npos);

    std::unique_ptr<WineMachine> machine = Open();
    ASSERT_NE(machine, nullptr);
    std::uint32_t type = 0;
    EXPECT_EQ(QueryText(*machine, INTEROP_KEY + "\\Win32", "Name", type),
              std::string("Written by the Win32 backend\0", 29));
}

}  // namespace
}  // namespace parvane::wine
