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

std::string Machine::RegistryStamp() {
    return {};
}

void Machine::ReleaseRegistry() {}

void Machine::GetFileStatuses(std::span<const std::string_view> paths,
                              std::vector<PathStatus>& statuses) {
    statuses.assign(paths.size(), {});
    for (std::size_t i = 0; i < paths.size(); ++i) {
        statuses[i].error = GetFileStatus(std::string(paths[i]), statuses[i].status);
    }
}

void Machine::ReadFileStarts(const std::vector<std::string>& paths, std::size_t size,
                             std::vector<FileStart>& starts) {
    starts.assign(paths.size(), {});
    for (std::size_t i = 0; i < paths.size(); ++i) {
        FileStart& start = starts[i];
        start.error = GetFileStatus(paths[i], start.status);
        if (start.error != ERR_SUCCESS) {
            continue;
        }
        const std::unique_ptr<FileStream> file = OpenFile(paths[i], FileMode::Read, start.error);
        if (file == nullptr) {
            continue;
        }
        start.bytes.resize(size);
        start.bytes.resize(file->Read(start.bytes.data(), size));
        start.error = file->Error();
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
