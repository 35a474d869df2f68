#include "platform/Machine.h"
#include "platform/UserInterface.h"

namespace parvane {

namespace {
Machine* currentMachine = nullptr;
UserInterface* currentUserInterface = nullptr;
}  // namespace

Machine& TheMachine() { return *currentMachine; }
void SetMachine(Machine* machine) { currentMachine = machine; }

void Machine::DeleteSubkeys(Hive hive, const std::string& parentKey,
                            const std::vector<std::string>& names,
                            std::vector<Win32Error>& results) {
    results.clear();
    for (const std::string& name : names) {
        results.push_back(DeleteKey(hive, parentKey + "\\" + name));
    }
}

UserInterface& TheUserInterface() { return *currentUserInterface; }
void SetUserInterface(UserInterface* userInterface) { currentUserInterface = userInterface; }

}  // namespace parvane
