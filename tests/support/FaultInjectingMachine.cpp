#include "support/FaultInjectingMachine.h"

#include <algorithm>
#include <utility>

#include "base/AsciiCase.h"

namespace parvane::test {

namespace {

bool HoldsIgnoringCase(const std::string& text, const std::string& part) {
    if (part.empty()) {
        return true;
    }
    return ToUpperAscii(text).find(ToUpperAscii(part)) != std::string::npos;
}

// A stream whose reads, writes and close pass through the machine's faults.
class FaultInjectingStream : public FileStream {
  public:
    FaultInjectingStream(std::unique_ptr<FileStream> wrapped, FaultInjectingMachine& machine,
                         std::string file)
        : inner(std::move(wrapped)), faults(machine), path(std::move(file)) {}

    std::size_t Read(void* buffer, std::size_t size) override {
        if ((error = faults.Intercept(MachineCall::StreamRead, path)) != ERR_SUCCESS) {
            return 0;
        }
        return inner->Read(buffer, size);
    }
    // A failing write writes half of its bytes, as a disk that fills up does.
    std::size_t Write(const void* data, std::size_t size) override {
        if ((error = faults.Intercept(MachineCall::StreamWrite, path)) != ERR_SUCCESS) {
            return inner->Write(data, size / 2);
        }
        return inner->Write(data, size);
    }
    Win32Error Seek(std::int64_t offset, int origin) override {
        return inner->Seek(offset, origin);
    }
    std::int64_t Tell() override { return inner->Tell(); }
    Win32Error Error() const override { return error != ERR_SUCCESS ? error : inner->Error(); }
    Win32Error Close() override {
        const Win32Error injected = faults.Intercept(MachineCall::StreamClose, path);
        const Win32Error closed = inner->Close();
        return injected != ERR_SUCCESS ? injected : closed;
    }

  private:
    std::unique_ptr<FileStream> inner;
    FaultInjectingMachine& faults;
    std::string path;
    Win32Error error = ERR_SUCCESS;
};

}  // namespace

const char* MachineCallName(MachineCall call) {
    static constexpr const char* NAMES[] = {
        "Any",           "OpenKey",           "CreateKey",         "EnumKey",
        "QueryValue",    "SetValue",          "DeleteKey",         "CloseKey",
        "GetAttributes", "MakeFolder",        "RemoveEmptyFolder", "RemoveFile",
        "CopyFileOver",  "MoveFileTo",        "MoveFileOver",      "ListFolder",
        "LongPathName",  "TempPath",          "UniqueTempFile",    "FreeDiskSpace",
        "OpenFile",      "StreamRead",        "StreamWrite",       "StreamClose",
        "ModulePath",    "ProcessImageNames", "RunCommand",
    };
    return NAMES[static_cast<std::size_t>(call)];
}

FaultInjectingMachine::FaultInjectingMachine(Machine& wrapped) : ForwardingMachine(wrapped) {}

std::uint64_t FaultInjectingMachine::CallCount(MachineCall call) const {
    return static_cast<std::uint64_t>(
        std::count_if(calls.begin(), calls.end(),
                      [call](const CallRecord& record) { return record.call == call; }));
}

std::uint64_t FaultInjectingMachine::FailedCallCount() const {
    return static_cast<std::uint64_t>(std::count_if(
        calls.begin(), calls.end(), [](const CallRecord& record) { return record.failed; }));
}

Win32Error FaultInjectingMachine::Intercept(MachineCall call, const std::string& path) {
    Win32Error injected = ERR_SUCCESS;
    for (ActiveFault& active : faults) {
        const Fault& fault = active.fault;
        if ((fault.call != MachineCall::Any && fault.call != call) ||
            !HoldsIgnoringCase(path, fault.pathPart)) {
            continue;
        }
        const std::uint64_t number = ++active.matched;
        const bool strikes = number >= fault.first && number - fault.first < fault.count;
        if (strikes && injected == ERR_SUCCESS) {
            injected = fault.error;
        }
    }
    calls.push_back({call, path, injected != ERR_SUCCESS});
    return injected;
}

std::string FaultInjectingMachine::KeyPath(KeyHandle key) const {
    const auto found = keyPaths.find(key);
    return found == keyPaths.end() ? std::string() : found->second;
}

Win32Error FaultInjectingMachine::OpenKey(Hive hive, const std::string& subKey, KeyHandle& key) {
    if (const Win32Error error = Intercept(MachineCall::OpenKey, subKey); error != ERR_SUCCESS) {
        key = 0;
        return error;
    }
    const Win32Error status = ForwardingMachine::OpenKey(hive, subKey, key);
    if (status == ERR_SUCCESS) {
        keyPaths[key] = subKey;
    }
    return status;
}

Win32Error FaultInjectingMachine::CreateKey(Hive hive, const std::string& subKey,
                                            const std::string& keyClass, KeyHandle& key) {
    if (const Win32Error error = Intercept(MachineCall::CreateKey, subKey); error != ERR_SUCCESS) {
        key = 0;
        return error;
    }
    const Win32Error status = ForwardingMachine::CreateKey(hive, subKey, keyClass, key);
    if (status == ERR_SUCCESS) {
        keyPaths[key] = subKey;
    }
    return status;
}

Win32Error FaultInjectingMachine::EnumKey(KeyHandle key, std::uint32_t index,
                                          std::uint32_t capacity, std::string& name) {
    if (const Win32Error error = Intercept(MachineCall::EnumKey, KeyPath(key));
        error != ERR_SUCCESS) {
        name.clear();
        return error;
    }
    return ForwardingMachine::EnumKey(key, index, capacity, name);
}

Win32Error FaultInjectingMachine::QueryValue(KeyHandle key, const std::string& valueName,
                                             std::uint32_t capacity, std::uint32_t& type,
                                             std::string& data) {
    if (const Win32Error error =
            Intercept(MachineCall::QueryValue, KeyPath(key) + "\\" + valueName);
        error != ERR_SUCCESS) {
        data.clear();
        return error;
    }
    return ForwardingMachine::QueryValue(key, valueName, capacity, type, data);
}

Win32Error FaultInjectingMachine::SetValue(KeyHandle key, const std::string& valueName,
                                           std::uint32_t type, const std::string& data) {
    if (const Win32Error error = Intercept(MachineCall::SetValue, KeyPath(key) + "\\" + valueName);
        error != ERR_SUCCESS) {
        return error;
    }
    return ForwardingMachine::SetValue(key, valueName, type, data);
}

Win32Error FaultInjectingMachine::DeleteKey(Hive hive, const std::string& subKey) {
    if (const Win32Error error = Intercept(MachineCall::DeleteKey, subKey); error != ERR_SUCCESS) {
        return error;
    }
    return ForwardingMachine::DeleteKey(hive, subKey);
}

// A failing close still closes the key, as RegCloseKey's failures leave no handle behind; the
// error stands for the write of the change that the close failed to make.
Win32Error FaultInjectingMachine::CloseKey(KeyHandle key) {
    const Win32Error injected = Intercept(MachineCall::CloseKey, KeyPath(key));
    keyPaths.erase(key);
    const Win32Error closed = ForwardingMachine::CloseKey(key);
    return injected != ERR_SUCCESS ? injected : closed;
}

Win32Error FaultInjectingMachine::GetAttributes(const std::string& path,
                                                std::uint32_t& attributes) {
    if (const Win32Error error = Intercept(MachineCall::GetAttributes, path);
        error != ERR_SUCCESS) {
        attributes = ATTR_INVALID;
        return error;
    }
    return ForwardingMachine::GetAttributes(path, attributes);
}

Win32Error FaultInjectingMachine::MakeFolder(const std::string& path) {
    const Win32Error error = Intercept(MachineCall::MakeFolder, path);
    return error != ERR_SUCCESS ? error : ForwardingMachine::MakeFolder(path);
}

Win32Error FaultInjectingMachine::RemoveEmptyFolder(const std::string& path) {
    const Win32Error error = Intercept(MachineCall::RemoveEmptyFolder, path);
    return error != ERR_SUCCESS ? error : ForwardingMachine::RemoveEmptyFolder(path);
}

Win32Error FaultInjectingMachine::RemoveFile(const std::string& path) {
    const Win32Error error = Intercept(MachineCall::RemoveFile, path);
    return error != ERR_SUCCESS ? error : ForwardingMachine::RemoveFile(path);
}

Win32Error FaultInjectingMachine::CopyFileOver(const std::string& source,
                                               const std::string& target) {
    const Win32Error error = Intercept(MachineCall::CopyFileOver, target);
    return error != ERR_SUCCESS ? error : ForwardingMachine::CopyFileOver(source, target);
}

Win32Error FaultInjectingMachine::MoveFileTo(const std::string& source, const std::string& target) {
    const Win32Error error = Intercept(MachineCall::MoveFileTo, target);
    return error != ERR_SUCCESS ? error : ForwardingMachine::MoveFileTo(source, target);
}

Win32Error FaultInjectingMachine::MoveFileOver(const std::string& source,
                                               const std::string& target) {
    const Win32Error error = Intercept(MachineCall::MoveFileOver, target);
    return error != ERR_SUCCESS ? error : ForwardingMachine::MoveFileOver(source, target);
}

Win32Error FaultInjectingMachine::ListFolder(const std::string& pattern,
                                             std::vector<FolderEntry>& entries) {
    if (const Win32Error error = Intercept(MachineCall::ListFolder, pattern);
        error != ERR_SUCCESS) {
        entries.clear();
        return error;
    }
    return ForwardingMachine::ListFolder(pattern, entries);
}

Win32Error FaultInjectingMachine::LongPathName(const std::string& path, std::string& longPath) {
    if (const Win32Error error = Intercept(MachineCall::LongPathName, path); error != ERR_SUCCESS) {
        longPath.clear();
        return error;
    }
    return ForwardingMachine::LongPathName(path, longPath);
}

Win32Error FaultInjectingMachine::TempPath(std::string& folder) {
    const Win32Error error = Intercept(MachineCall::TempPath, {});
    return error != ERR_SUCCESS ? error : ForwardingMachine::TempPath(folder);
}

Win32Error FaultInjectingMachine::UniqueTempFile(const std::string& folder,
                                                 const std::string& prefix, std::string& path) {
    const Win32Error error = Intercept(MachineCall::UniqueTempFile, folder);
    return error != ERR_SUCCESS ? error : ForwardingMachine::UniqueTempFile(folder, prefix, path);
}

Win32Error FaultInjectingMachine::FreeDiskSpace(const std::string& path, std::uint64_t& bytes) {
    if (const Win32Error error = Intercept(MachineCall::FreeDiskSpace, path);
        error != ERR_SUCCESS) {
        bytes = 0;
        return error;
    }
    return ForwardingMachine::FreeDiskSpace(path, bytes);
}

std::unique_ptr<FileStream> FaultInjectingMachine::OpenFile(const std::string& path, FileMode mode,
                                                            Win32Error& error) {
    if ((error = Intercept(MachineCall::OpenFile, path)) != ERR_SUCCESS) {
        return nullptr;
    }
    std::unique_ptr<FileStream> stream = ForwardingMachine::OpenFile(path, mode, error);
    if (!stream) {
        return stream;
    }
    return std::make_unique<FaultInjectingStream>(std::move(stream), *this, path);
}

Win32Error FaultInjectingMachine::ModulePath(std::string& path) {
    if (const Win32Error error = Intercept(MachineCall::ModulePath, {}); error != ERR_SUCCESS) {
        return error;
    }
    if (modulePath) {
        path = *modulePath;
        return ERR_SUCCESS;
    }
    return ForwardingMachine::ModulePath(path);
}

Win32Error FaultInjectingMachine::ProcessImageNames(std::vector<std::string>& names) {
    if (const Win32Error error = Intercept(MachineCall::ProcessImageNames, {});
        error != ERR_SUCCESS) {
        return error;
    }
    if (processNames) {
        names = *processNames;
        return ERR_SUCCESS;
    }
    return ForwardingMachine::ProcessImageNames(names);
}

// WinExec's failure values are below 32; the error number stands in for one.
std::uint32_t FaultInjectingMachine::RunCommand(const std::string& commandLine) {
    const Win32Error error = Intercept(MachineCall::RunCommand, commandLine);
    return error != ERR_SUCCESS ? 2 : ForwardingMachine::RunCommand(commandLine);
}

}  // namespace parvane::test
