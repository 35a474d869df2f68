#include "platform/Machine.h"
#include "platform/UserInterface.h"

namespace parvane {

namespace {
Machine* currentMachine = nullptr;
UserInterface* currentUserInterface = nullptr;
}  // namespace

Machine& TheMachine() { return *currentMachine; }
void SetMachine(Machine* machine) { currentMachine = machine; }

UserInterface& TheUserInterface() { return *currentUserInterface; }
void SetUserInterface(UserInterface* userInterface) { currentUserInterface = userInterface; }

}  // namespace parvane
