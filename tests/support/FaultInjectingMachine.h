#pragma once

// Records every call of the machine it wraps, and fails those a fault names with its error, e.g.
// `.call = MachineCall::SetValue, .first = 3` or `.first = 120, .count = EVERY_CALL`, or stops
// the process dead there (`.kills = true`).

#include <atomic>
#include <cstdint>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/Machine.h"

namespace parvane::test {

enum class MachineCall {
    Any,  // in a fault: every operation
    OpenKey,
    CreateKey,
    EnumKey,
    QueryValue,
    SetValue,
    DeleteKey,
    CloseKey,
    GetAttributes,
    GetFileStatus,
    MakeFolder,
    RemoveEmptyFolder,
    RemoveFile,
    CopyFileOver,
    MoveFileTo,
    MoveFileOver,
    ListFolder,
    LongPathName,
    FullPathName,
    TempPath,
    UniqueTempFile,
    FreeDiskSpace,
    OpenFile,
    StreamRead,
    StreamWrite,  // a failing write writes half of its bytes, as a disk that fills up does
    StreamFlush,
    StreamSync,
    StreamClose,
    ModulePath,
    ProcessImageNames,
    RunCommand,
};

const char* MachineCallName(MachineCall call);

inline constexpr std::uint64_t EVERY_CALL = std::numeric_limits<std::uint64_t>::max();

struct Fault {
    MachineCall call = MachineCall::Any;
    // `count` calls from the `first` (from 1) among the calls this fault matches.
    std::uint64_t first = 1;
    std::uint64_t count = 1;
    // Only calls on a path, key or stream's file holding this text, ignoring case.
    std::string pathPart = {};
    Win32Error error = ERR_GEN_FAILURE;
    // The process dies at the first call this fault strikes: that call and every later one
    // fail and reach nothing (a write writes nothing, a key is not closed), as after a kill.
    bool kills = false;
};

struct CallRecord {
    MachineCall call;
    // The path, key (with "\<value>"), stream's file, target of a copy or move, file
    // UniqueTempFile made (its folder when it failed) or command line.
    std::string path;
    bool failed;                     // injected, or by the wrapped machine
    std::string source = {};         // a copy's or move's source
    FileMode mode = FileMode::Read;  // OpenFile's
};

class FaultInjectingMachine : public Machine {
  public:
    // TheMachine() until destroyed.
    explicit FaultInjectingMachine(Machine& wrapped = TheMachine());
    ~FaultInjectingMachine() override;
    FaultInjectingMachine(const FaultInjectingMachine&) = delete;
    FaultInjectingMachine& operator=(const FaultInjectingMachine&) = delete;

    void Inject(const Fault& fault) { faults.push_back({fault, 0}); }
    void ClearFaults() { faults.clear(); }

    // Answers instead of the real machine's (a set command result starts nothing). Long path
    // names as given keep "." and "..", as GetLongPathNameA may.
    void SetProcessImageNames(std::vector<std::string> names) { processNames = std::move(names); }
    void SetModulePath(std::string path) { modulePath = std::move(path); }
    void SetFreeDiskSpace(std::uint64_t bytes) { freeBytes = bytes; }
    void SetCommandResult(std::uint32_t result) { commandResult = result; }
    void AnswerLongPathNamesAsGiven() { longPathNamesAsGiven = true; }

    const std::vector<CallRecord>& Calls() const { return calls; }
    bool Killed() const { return killed; }
    std::uint64_t CallCount(MachineCall call) const { return CallPaths(call).size(); }
    std::vector<std::string> CallPaths(MachineCall call) const;

    // Counts the call; the error of the fault that strikes now, or ERR_SUCCESS.
    Win32Error Intercept(MachineCall call, const std::string& path);

    Win32Error OpenKey(Hive hive, const std::string& subKey, KeyHandle& key) override;
    Win32Error CreateKey(Hive hive, const std::string& subKey, const std::string& keyClass,
                         KeyHandle& key) override;
    Win32Error EnumKey(KeyHandle key, std::uint32_t index, std::uint32_t capacity,
                       std::string& name) override {
        name.clear();
        return Pass(MachineCall::EnumKey, KeyPath(key),
                    [&] { return inner.EnumKey(key, index, capacity, name); });
    }
    Win32Error QueryValue(KeyHandle key, const std::string& valueName, std::uint32_t capacity,
                          std::uint32_t& type, std::string& data) override {
        data.clear();
        return Pass(MachineCall::QueryValue, KeyPath(key) + "\\" + valueName,
                    [&] { return inner.QueryValue(key, valueName, capacity, type, data); });
    }
    Win32Error SetValue(KeyHandle key, const std::string& valueName, std::uint32_t type,
                        const std::string& data) override {
        return Pass(MachineCall::SetValue, KeyPath(key) + "\\" + valueName,
                    [&] { return inner.SetValue(key, valueName, type, data); });
    }
    Win32Error DeleteKey(Hive hive, const std::string& subKey) override {
        return Pass(MachineCall::DeleteKey, subKey, [&] { return inner.DeleteKey(hive, subKey); });
    }
    Win32Error CloseKey(KeyHandle key) override;

    Win32Error GetAttributes(const std::string& path, std::uint32_t& attributes) override {
        attributes = ATTR_INVALID;
        return Pass(MachineCall::GetAttributes, path,
                    [&] { return inner.GetAttributes(path, attributes); });
    }
    Win32Error GetFileStatus(const std::string& path, FileStatus& status) override {
        status = FileStatus{};
        return Pass(MachineCall::GetFileStatus, path,
                    [&] { return inner.GetFileStatus(path, status); });
    }
    Win32Error MakeFolder(const std::string& path) override {
        return Pass(MachineCall::MakeFolder, path, [&] { return inner.MakeFolder(path); });
    }
    Win32Error RemoveEmptyFolder(const std::string& path) override {
        return Pass(MachineCall::RemoveEmptyFolder, path,
                    [&] { return inner.RemoveEmptyFolder(path); });
    }
    Win32Error RemoveFile(const std::string& path) override {
        return Pass(MachineCall::RemoveFile, path, [&] { return inner.RemoveFile(path); });
    }
    Win32Error CopyFileOver(const std::string& source, const std::string& target) override {
        return PassWithSource(MachineCall::CopyFileOver, source, target,
                              [&] { return inner.CopyFileOver(source, target); });
    }
    Win32Error MoveFileTo(const std::string& source, const std::string& target) override {
        return PassWithSource(MachineCall::MoveFileTo, source, target,
                              [&] { return inner.MoveFileTo(source, target); });
    }
    Win32Error MoveFileOver(const std::string& source, const std::string& target) override {
        return PassWithSource(MachineCall::MoveFileOver, source, target,
                              [&] { return inner.MoveFileOver(source, target); });
    }
    Win32Error ListFolder(const std::string& pattern, std::vector<FolderEntry>& entries) override {
        entries.clear();
        return Pass(MachineCall::ListFolder, pattern,
                    [&] { return inner.ListFolder(pattern, entries); });
    }
    Win32Error LongPathName(const std::string& path, std::string& longPath) override;
    Win32Error FullPathName(const std::string& path, std::string& fullPath) override;
    Win32Error TempPath(std::string& folder) override {
        return Pass(MachineCall::TempPath, {}, [&] { return inner.TempPath(folder); });
    }
    Win32Error UniqueTempFile(const std::string& folder, const std::string& prefix,
                              std::string& path) override;
    Win32Error FreeDiskSpace(const std::string& path, std::uint64_t& bytes) override {
        bytes = 0;
        return Pass(MachineCall::FreeDiskSpace, path, [&] {
            return Given(freeBytes, bytes, [&] { return inner.FreeDiskSpace(path, bytes); });
        });
    }
    std::unique_ptr<FileStream> OpenFile(const std::string& path, FileMode mode,
                                         Win32Error& error) override;
    // A conversion of text, not a call that a full disk or a lost drive could fail.
    Win32Error ArchiveNameToAnsi(const std::string& bytes, bool isUtf8,
                                 std::string& name) override {
        return inner.ArchiveNameToAnsi(bytes, isUtf8, name);
    }

    Win32Error ModulePath(std::string& path) override {
        return Pass(MachineCall::ModulePath, {}, [&] {
            return Given(modulePath, path, [&] { return inner.ModulePath(path); });
        });
    }
    Win32Error ProcessImageNames(std::vector<std::string>& names) override {
        return Pass(MachineCall::ProcessImageNames, {}, [&] {
            return Given(processNames, names, [&] { return inner.ProcessImageNames(names); });
        });
    }
    std::uint32_t RunCommand(const std::string& commandLine) override;

  private:
    struct ActiveFault {
        Fault fault;
        std::uint64_t matched;  // calls this fault has matched so far
    };

    // The injected error, or what `forward` returns. Outputs are cleared first, as Windows does.
    template <typename Forward>
    Win32Error Pass(MachineCall call, const std::string& path, Forward forward) {
        std::size_t record = 0;
        const Win32Error error = Intercept(call, path, {}, record);
        return error != ERR_SUCCESS ? error : Forwarded(record, forward);
    }
    template <typename Forward>
    Win32Error PassWithSource(MachineCall call, const std::string& source,
                              const std::string& target, Forward forward) {
        std::size_t record = 0;
        const Win32Error error = Intercept(call, target, source, record);
        return error != ERR_SUCCESS ? error : Forwarded(record, forward);
    }
    // Counts and records the call, at `record`.
    Win32Error Intercept(MachineCall call, const std::string& path, const std::string& source,
                         std::size_t& record);
    // The wrapped machine's answer, a failure of its own marked on the call's record.
    template <typename Forward>
    Win32Error Forwarded(std::size_t record, Forward forward) {
        const Win32Error error = forward();
        const std::lock_guard lock(callsMutex);
        calls[record].failed = error != ERR_SUCCESS;
        return error;
    }
    // The answer the test gave, or else the machine's.
    template <typename Value, typename Forward>
    static Win32Error Given(const std::optional<Value>& given, Value& answer, Forward forward) {
        if (!given) {
            return forward();
        }
        answer = *given;
        return ERR_SUCCESS;
    }
    std::string KeyPath(KeyHandle key) const;
    Win32Error RememberKey(Win32Error status, KeyHandle key, const std::string& subKey);

    Machine& inner;
    // Files may be written on a thread of their own: their calls are counted and recorded
    // under the lock, in the order they come.
    mutable std::mutex callsMutex;
    std::vector<ActiveFault> faults;
    std::vector<CallRecord> calls;
    std::unordered_map<KeyHandle, std::string> keyPaths;
    std::optional<std::vector<std::string>> processNames;
    std::optional<std::string> modulePath;
    std::optional<std::uint64_t> freeBytes;
    std::optional<std::uint32_t> commandResult;
    bool longPathNamesAsGiven = false;
    std::atomic<bool> killed = false;
};

}  // namespace parvane::test
