// The Wine backend and Wine itself share a prefix's registry files: what one writes, the other
// reads, in the 32-bit view of HKEY_LOCAL_MACHINE\Software, accented names included. (What the
// Win32 backend writes is compared in RegistrationInteropTest.)

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "interop/WineCommands.h"
#include "support/TestMachine.h"

namespace parvane::test {
namespace {

const std::string INTEROP_KEY = "Software\\Parvane Interop";

// The value's type and data, or a text saying what is missing.
std::string QueryText(Machine& machine, const std::string& subKey, const std::string& name,
                      std::uint32_t& type) {
    KeyHandle key = 0;
    if (machine.OpenKey(Hive::LocalMachine, subKey, key) != ERR_SUCCESS) {
        return "(no key " + subKey + ")";
    }
    std::string data;
    if (machine.QueryValue(key, name, 1024, type, data) != ERR_SUCCESS) {
        data = "(no value " + name + ")";
    }
    machine.CloseKey(key);
    return data;
}

class WineInterop : public ::testing::Test {
  protected:
    WineInterop() { WaitForWineserver(); }
    ~WineInterop() override {
        WaitForWineserver();
        if (std::unique_ptr<wine::WineMachine> machine = OpenSuitePrefix()) {
            DeleteKeyTree(*machine, Hive::LocalMachine, INTEROP_KEY);
        }
    }
};

// `reg` writes to a pipe in the console's code page, 437: e with acute is 0x82, e with grave
// 0x8A, u with circumflex 0x96.
TEST_F(WineInterop, KeysTheWineBackendWroteAreReadByWineReg) {
    {
        std::unique_ptr<wine::WineMachine> machine = OpenSuitePrefix();
        ASSERT_NE(machine, nullptr);
        KeyHandle key = 0;
        ASSERT_EQ(machine->CreateKey(Hive::LocalMachine, INTEROP_KEY + "\\Caf\xE9", "", key),
                  ERR_SUCCESS);
        ASSERT_EQ(machine->SetValue(key, "Cr\xE8me", REGTYPE_SZ, "Br\xFBl\xE9\x65"), ERR_SUCCESS);
        ASSERT_EQ(machine->SetValue(key, "Count", REGTYPE_DWORD, std::string("\x2A\0\0\0", 4)),
                  ERR_SUCCESS);
        EXPECT_EQ(machine->CloseKey(key), ERR_SUCCESS);
    }
    const std::string software = "HKLM\\Software\\";
    for (const std::string& query : {Quoted(software + "Wow6432Node\\Parvane Interop\\Café"),
                                     Quoted(software + "Parvane Interop\\Café") + " /reg:32"}) {
        const std::string seen = RunCommand("wine reg query " + query);
        EXPECT_NE(seen.find("Cr\x8Ame    REG_SZ    Br\x96l\x82\x65"), std::string::npos) << seen;
        EXPECT_NE(seen.find("Count    REG_DWORD    0x2a"), std::string::npos) << seen;
    }
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

    std::unique_ptr<wine::WineMachine> machine = OpenSuitePrefix();
    ASSERT_NE(machine, nullptr);
    const std::string added = INTEROP_KEY + "\\A\xF1" + std::string("adido");
    std::uint32_t type = 0;
    EXPECT_EQ(QueryText(*machine, added, "Nombre", type),
              std::string("Cr\xE8me br\xFBl\xE9\x65\0", 13));
    EXPECT_EQ(type, REGTYPE_SZ);
    EXPECT_EQ(QueryText(*machine, added, "Count", type), std::string("\x2A\0\0\0", 4));
    EXPECT_EQ(type, REGTYPE_DWORD);
}

}  // namespace
}  // namespace parvane::test
