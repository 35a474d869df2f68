#include "support/FaultInjectingMachine.h"

#include <utility>

#include "platform/AsciiCase.h"

namespace parvane::test {

namespace {

bool HoldsIgnoringCase(const std::string& text, const std::string& part) {
    return part.empty() || ToUpperAscii(text).find(ToUpperAscii(part)) != std::string::npos;
}

// A stream whose reads, writes and close pass through the machine's faults.
class FaultInjectingStream : public FileStream {
  public:
    FaultInjectingStream(std::unique_ptr<FileStream> wrapped, FaultInjectingMachine& machine,
                         std::string file)
        : inner(std::move(wrapped)), faults(machine), path(std::move(file)) {}

    std::size_t Read(void* buffer, std::size_t size) override {
        error = faults.Intercept(MachineCall::StreamRead, path);
        return error != ERR_SUCCESS ? 0 : inner->Read(buffer, size);
    }
    std::size_t Write(const void* data, std::size_t size) override {
        error = faults.Intercept(MachineCall::StreamWrite, path);
        if (faults.Killed()) {
            return 0;
        }
        return inner->Write(data, error != ERR_SUCCESS ? size / 2 : size);
    }
    Win32Error Flush() override {
        const Win32Error injected = faults.Intercept(MachineCall::StreamFlush, path);
        return injected != ERR_SUCCESS ? injected : inner->Flush();
    }
    Win32Error Sync() override {
        const Win32Error injected = faults.Intercept(MachineCall::StreamSync, path);
        return injected != ERR_SUCCESS ? injected : inner->Sync();
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
        "Any",           "OpenKey",      "CreateKey",
        "EnumKey",       "QueryValue",   "SetValue",
        "DeleteKey",     "CloseKey",     "GetAttributes",
        "GetFileStatus", "MakeFolder",   "RemoveEmptyFolder",
        "RemoveFile",    "CopyFileOver", "MoveFileTo",
        "MoveFileOver",  "ListFolder",   "LongPathName",
        "FullPathName",  "TempPath",     "UniqueTempFile",
        "FreeDiskSpace", "OpenFile",     "StreamRead",
        "StreamWrite",   "StreamFlush",  "StreamSync",
        "StreamClose",   "ModulePath",   "ProcessImageNames",
        "RunCommand",
    };
    return NAMES[static_cast<std::size_t>(call)];
}

FaultInjectingMachine::FaultInjectingMachine(Machine& wrapped) : inner(wrapped) {
    SetMachine(this);
}

FaultInjectingMachine::~FaultInjectingMachine() {
    SetMachine(&inner);
}

std::vector<std::string> FaultInjectingMachine::CallPaths(MachineCall call) const {
    const std::lock_guard lock(callsMutex);
    std::vector<std::string> paths;
    for (const CallRecord& record : calls) {
        if (record.call == call) {
            paths.push_back(record.path);
        }
    }
    return paths;
}

Win32Error FaultInjectingMachine::Intercept(MachineCall call, const std::string& path) {
    std::size_t record = 0;
    return Intercept(call, path, {}, record);
}

Win32Error FaultInjectingMachine::Intercept(MachineCall call, const std::string& path,
                                            const std::string& source, std::size_t& record) {
    const std::lock_guard lock(callsMutex);
    record = calls.size();
    if (killed) {
        calls.push_back({call, path, true, source});
        return ERR_GEN_FAILURE;
    }
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
            killed = fault.kills;
        }
    }
    calls.push_back({call, path, injected != ERR_SUCCESS, source});
    return injected;
}

std::string FaultInjectingMachine::KeyPath(KeyHandle key) const {
    const auto found = keyPaths.find(key);
    return found == keyPaths.end() ? std::string() : found->second;
}

Win32Error FaultInjectingMachine::RememberKey(Win32Error status, KeyHandle key,
                                              const std::string& subKey) {
    if (status == ERR_SUCCESS) {
        keyPaths[key] = subKey;
    }
    return status;
}

Win32Error FaultInjectingMachine::OpenKey(Hive hive, const std::string& subKey, KeyHandle& key) {
    key = 0;
    const Win32Error status =
        Pass(MachineCall::OpenKey, subKey, [&] { return inner.OpenKey(hive, subKey, key); });
    return RememberKey(status, key, subKey);
}

Win32Error FaultInjectingMachine::CreateKey(Hive hive, const std::string& subKey,
                                            const std::string& keyClass, KeyHandle& key) {
    key = 0;
    const Win32Error status = Pass(MachineCall::CreateKey, subKey,
                                   [&] { return inner.CreateKey(hive, subKey, keyClass, key); });
    return RememberKey(status, key, subKey);
}

// A failing close still closes the key, as RegCloseKey's failures leave no handle behind; the
// error stands for the write of the change that the close failed to make.
Win32Error FaultInjectingMachine::CloseKey(KeyHandle key) {
    const Win32Error injected = Intercept(MachineCall::CloseKey, KeyPath(key));
    keyPaths.erase(key);
    if (killed) {
        return injected;
    }
    const Win32Error closed = inner.CloseKey(key);
    return injected != ERR_SUCCESS ? injected : closed;
}

Win32Error FaultInjectingMachine::LongPathName(const std::string& path, std::string& longPath) {
    longPath.clear();
    return Pass(MachineCall::LongPathName, path, [&] {
        if (!longPathNamesAsGiven) {
            return inner.LongPathName(path, longPath);
        }
        longPath = path;
        return ERR_SUCCESS;
    });
}

Win32Error FaultInjectingMachine::FullPathName(const std::string& path, std::string& fullPath) {
    fullPath.clear();
    return Pass(MachineCall::FullPathName, path, [&] {
        if (!longPathNamesAsGiven) {
            return inner.FullPathName(path, fullPath);
        }
        fullPath = path;
        return ERR_SUCCESS;
    });
}

Win32Error FaultInjectingMachine::UniqueTempFile(const std::string& folder,
                                                 const std::string& prefix, std::string& path) {
    std::size_t record = 0;
    const Win32Error error = Intercept(MachineCall::UniqueTempFile, folder, {}, record);
    if (error != ERR_SUCCESS) {
        return error;
    }
    const Win32Error made = inner.UniqueTempFile(folder, prefix, path);
    if (made == ERR_SUCCESS) {
        const std::lock_guard lock(callsMutex);
        calls[record].path = path;
    }
    return made;
}

std::unique_ptr<FileStream> FaultInjectingMachine::OpenFile(const std::string& path, FileMode mode,
                                                            Win32Error& error) {
    std::size_t record = 0;
    error = Intercept(MachineCall::OpenFile, path, {}, record);
    {
        const std::lock_guard lock(callsMutex);
        calls[record].mode = mode;
    }
    if (error != ERR_SUCCESS) {
        return nullptr;
    }
    std::unique_ptr<FileStream> stream = inner.OpenFile(path, mode, error);
    if (!stream) {
        return stream;
    }
    return std::make_unique<FaultInjectingStream>(std::move(stream), *this, path);
}

// WinExec's failure values are below 32; the error number stands in for one.
std::uint32_t FaultInjectingMachine::RunCommand(const std::string& commandLine) {
    if (Intercept(MachineCall::RunCommand, commandLine) != ERR_SUCCESS) {
        return 2;
    }
    return commandResult ? *commandResult : inner.RunCommand(commandLine);
}

}  // namespace parvane::test
