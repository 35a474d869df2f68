#include "platform/wine/registry/RegistryMemo.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

#include "platform/ByteFields.h"

namespace parvane::wine {

namespace {

// The file: this text, the stamp, then each key with its values (platform/ByteFields.h).
constexpr std::string_view MAGIC = "Parvane registry memo 1\n";
// A memo holds a few dozen keys; anything much larger is not one.
constexpr std::uintmax_t MAX_FILE_SIZE = 1 << 20;

std::string PathKey(Hive hive, std::string_view subKey) {
    std::string key(1, static_cast<char>('0' + static_cast<int>(hive)));
    key += subKey;
    return key;
}

// Numbers in four bytes, and texts after their length in four: a value may be long.
constexpr int FIELD = 4;

std::string ReadText(ByteReader& fields) {
    return std::string(fields.Text(fields.Number(FIELD)));
}

void PutField(std::string& out, std::uint64_t number) {
    PutNumber(out, number, FIELD);
}

RememberedValue ReadValue(ByteReader& fields) {
    RememberedValue value;
    value.name = ReadText(fields);
    value.status = static_cast<Win32Error>(fields.Number(FIELD));
    value.type = static_cast<std::uint32_t>(fields.Number(FIELD));
    value.data = ReadText(fields);
    return value;
}

RememberedKey ReadKey(ByteReader& fields) {
    RememberedKey key;
    const std::uint64_t hive = fields.Number(FIELD);
    fields.ok = fields.ok && hive <= static_cast<std::uint64_t>(Hive::LocalMachine);
    key.hive = static_cast<Hive>(hive);
    key.subKey = ReadText(fields);
    key.opened = static_cast<Win32Error>(fields.Number(FIELD));
    const std::uint64_t valueCount = fields.Number(FIELD);
    for (std::uint64_t i = 0; fields.ok && i < valueCount; ++i) {
        key.values.push_back(ReadValue(fields));
    }
    return key;
}

std::optional<std::string> FileBytes(const std::filesystem::path& file) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error || size > MAX_FILE_SIZE) {
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return in.bad() ? std::nullopt : std::optional<std::string>(std::move(bytes));
}

}  // namespace

RegistryMemo RegistryMemo::Read(const std::filesystem::path& file, const std::string& stamp) {
    const std::optional<std::string> bytes = FileBytes(file);
    if (!bytes || !bytes->starts_with(MAGIC)) {
        return {};
    }
    ByteReader fields(*bytes, MAGIC.size());
    const std::string_view fileStamp = fields.Text(fields.Number(FIELD));
    const std::uint64_t keyCount = fields.Number(FIELD);
    if (!fields.ok || fileStamp != stamp || keyCount > MAX_KEYS) {
        return {};
    }
    RegistryMemo memo;
    for (std::uint64_t i = 0; i < keyCount; ++i) {
        RememberedKey key = ReadKey(fields);
        if (!fields.ok || memo.Find(key.hive, key.subKey) >= 0) {
            return {};
        }
        memo.indexByPath.emplace(PathKey(key.hive, key.subKey), memo.keys.size());
        memo.keys.push_back(std::move(key));
    }
    return fields.AtEnd() ? memo : RegistryMemo{};
}

bool RegistryMemo::Write(const std::filesystem::path& file, const std::string& stamp) const {
    std::string bytes(MAGIC);
    PutText(bytes, stamp, FIELD);
    PutField(bytes, keys.size());
    for (const RememberedKey& key : keys) {
        PutField(bytes, static_cast<std::uint64_t>(key.hive));
        PutText(bytes, key.subKey, FIELD);
        PutField(bytes, static_cast<std::uint64_t>(key.opened));
        PutField(bytes, key.values.size());
        for (const RememberedValue& value : key.values) {
            PutText(bytes, value.name, FIELD);
            PutField(bytes, static_cast<std::uint64_t>(value.status));
            PutField(bytes, value.type);
            PutText(bytes, value.data, FIELD);
        }
    }
    // Written beside it and renamed over it, so that a run never finds half a memo.
    std::filesystem::path written = file;
    written += ".new";
    std::ofstream out(written, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    std::error_code error;
    if (!out) {
        std::filesystem::remove(written, error);
        return false;
    }
    std::filesystem::rename(written, file, error);
    return !error;
}

int RegistryMemo::Find(Hive hive, std::string_view subKey) const {
    const auto found = indexByPath.find(PathKey(hive, subKey));
    return found == indexByPath.end() ? -1 : static_cast<int>(found->second);
}

const RememberedValue* RegistryMemo::ValueOf(std::size_t key, std::string_view name) const {
    const std::vector<RememberedValue>& values = keys[key].values;
    const auto found = std::find_if(values.begin(), values.end(),
                                    [name](const RememberedValue& v) { return v.name == name; });
    return found == values.end() ? nullptr : &*found;
}

int RegistryMemo::KeepKey(Hive hive, const std::string& subKey, Win32Error opened) {
    if (overflowed) {
        return -1;  // nothing more is kept, and the rest of a full read costs no lookups
    }
    if (const int known = Find(hive, subKey); known >= 0) {
        return known;
    }
    if (keys.size() >= MAX_KEYS) {
        overflowed = true;
        return -1;
    }
    indexByPath.emplace(PathKey(hive, subKey), keys.size());
    keys.push_back({hive, subKey, opened, {}});
    changed = true;
    return static_cast<int>(keys.size() - 1);
}

void RegistryMemo::KeepValue(std::size_t key, RememberedValue value) {
    if (ValueOf(key, value.name) == nullptr) {
        keys[key].values.push_back(std::move(value));
        changed = true;
    }
}

}  // namespace parvane::wine
