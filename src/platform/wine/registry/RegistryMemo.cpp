#include "platform/wine/registry/RegistryMemo.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

namespace parvane::wine {

namespace {

// The file: this text, the stamp, then each key with its values. Numbers are four bytes, least
// significant first; texts are their length, then their bytes.
constexpr std::string_view MAGIC = "Parvane registry memo 1\n";
// A memo holds a few dozen keys; anything much larger is not one.
constexpr std::uintmax_t MAX_FILE_SIZE = 1 << 20;

std::string PathKey(Hive hive, std::string_view subKey) {
    std::string key(1, static_cast<char>('0' + static_cast<int>(hive)));
    key += subKey;
    return key;
}

void PutNumber(std::string& out, std::uint32_t number) {
    for (int shift = 0; shift < 32; shift += 8) {
        out += static_cast<char>((number >> shift) & 0xFF);
    }
}

void PutText(std::string& out, std::string_view text) {
    PutNumber(out, static_cast<std::uint32_t>(text.size()));
    out += text;
}

// Reads the file's fields in order; once one is missing, every later read fails too.
class FieldReader {
  public:
    explicit FieldReader(std::string_view bytes) : rest(bytes) {}

    std::optional<std::uint32_t> Number() {
        if (rest.size() < 4) {
            return std::nullopt;
        }
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i) {
            number = number << 8 | static_cast<unsigned char>(rest[i]);
        }
        rest.remove_prefix(4);
        return number;
    }

    std::optional<std::string> Text() {
        const std::optional<std::uint32_t> size = Number();
        if (!size || *size > rest.size()) {
            return std::nullopt;
        }
        std::string text(rest.substr(0, *size));
        rest.remove_prefix(*size);
        return text;
    }

    bool AtEnd() const { return rest.empty(); }

  private:
    std::string_view rest;
};

std::optional<RememberedValue> ReadValue(FieldReader& fields) {
    std::optional<std::string> name = fields.Text();
    const std::optional<std::uint32_t> status = fields.Number();
    const std::optional<std::uint32_t> type = fields.Number();
    std::optional<std::string> data = fields.Text();
    if (!name || !status || !type || !data) {
        return std::nullopt;
    }
    return RememberedValue{std::move(*name), static_cast<Win32Error>(*status), *type,
                           std::move(*data)};
}

std::optional<RememberedKey> ReadKey(FieldReader& fields) {
    const std::optional<std::uint32_t> hive = fields.Number();
    std::optional<std::string> subKey = fields.Text();
    const std::optional<std::uint32_t> opened = fields.Number();
    const std::optional<std::uint32_t> valueCount = fields.Number();
    if (!hive || *hive > static_cast<std::uint32_t>(Hive::LocalMachine) || !subKey || !opened ||
        !valueCount) {
        return std::nullopt;
    }
    RememberedKey key{
        static_cast<Hive>(*hive), std::move(*subKey), static_cast<Win32Error>(*opened), {}};
    for (std::uint32_t i = 0; i < *valueCount; ++i) {
        std::optional<RememberedValue> value = ReadValue(fields);
        if (!value) {
            return std::nullopt;
        }
        key.values.push_back(std::move(*value));
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
    FieldReader fields(std::string_view(*bytes).substr(MAGIC.size()));
    const std::optional<std::string> fileStamp = fields.Text();
    const std::optional<std::uint32_t> keyCount = fields.Number();
    if (fileStamp != stamp || !keyCount || *keyCount > MAX_KEYS) {
        return {};
    }
    RegistryMemo memo;
    for (std::uint32_t i = 0; i < *keyCount; ++i) {
        std::optional<RememberedKey> key = ReadKey(fields);
        if (!key || memo.Find(key->hive, key->subKey) >= 0) {
            return {};
        }
        memo.indexByPath.emplace(PathKey(key->hive, key->subKey), memo.keys.size());
        memo.keys.push_back(std::move(*key));
    }
    return fields.AtEnd() ? memo : RegistryMemo{};
}

bool RegistryMemo::Write(const std::filesystem::path& file, const std::string& stamp) const {
    std::string bytes(MAGIC);
    PutText(bytes, stamp);
    PutNumber(bytes, static_cast<std::uint32_t>(keys.size()));
    for (const RememberedKey& key : keys) {
        PutNumber(bytes, static_cast<std::uint32_t>(key.hive));
        PutText(bytes, key.subKey);
        PutNumber(bytes, static_cast<std::uint32_t>(key.opened));
        PutNumber(bytes, static_cast<std::uint32_t>(key.values.size()));
        for (const RememberedValue& value : key.values) {
            PutText(bytes, value.name);
            PutNumber(bytes, static_cast<std::uint32_t>(value.status));
            PutNumber(bytes, value.type);
            PutText(bytes, value.data);
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
