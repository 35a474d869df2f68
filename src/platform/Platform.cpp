#include "platform/Machine.h"
#include "platform/UserInterface.h"

namespace parvane {

namespace {
Machine* currentMachine = nullptr;
UserInterface* currentUserInterface = nullptr;
}  // namespace

Machine& TheMachine() {
    return *currentMachine;
}
void SetMachine(Machine* machine) {
    currentMachine = machine;
}

void Machine::DeleteSubkeys(Hive hive, const std::string& parentKey,
                            const std::vector<std::string>& names,
                            std::vector<Win32Error>& results) {
    results.clear();
    for (const std::string& name : names) {
        results.push_back(DeleteKey(hive, parentKey + "\\" + name));
    }
}

void Machine::ReadFileStarts(const std::vector<std::string>& paths, std::size_t size,
                             std::vector<std::string>& starts, std::vector<Win32Error>& errors) {
    starts.assign(paths.size(), {});
    errors.assign(paths.size(), ERR_SUCCESS);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::unique_ptr<FileStream> file = OpenFile(paths[i], FileMode::Read, errors[i]);
        if (file == nullptr) {
            continue;
        }
        starts[i].resize(size);
        starts[i].resize(file->Read(starts[i].data(), size));
        errors[i] = file->Error();
        file->Close();
    }
}

UserInterface& TheUserInterface() {
    return *currentUserInterface;
}
void SetUserInterface(UserInterface* userInterface) {
    currentUserInterface = userInterface;
}

}  // namespace parvane
