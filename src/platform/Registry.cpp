#include "platform/Registry.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <variant>

#include "platform/AtomicFile.h"
#include "platform/AutostartEntry.h"
#include "platform/Text.h"
#include "platform/Trace.h"

namespace velto::platform {

// The per-user key is created on Windows with an access list of two entries: Everyone may
// read, set values and create sub-keys; Administrators have full control. HKEY_CURRENT_USER
// is only ever loaded for its own user, so "Everyone" there means every process of that
// user, and the administrators are root, who passes any file mode. The same protection is
// therefore a file that only its owner may read and write (0600) in a folder made 0700.
constexpr mode_t kUserHiveMode = 0600;
// The machine hive is readable by every user, as HKEY_LOCAL_MACHINE is.
constexpr mode_t kMachineHiveMode = 0644;
constexpr uintmax_t kMaxHiveFile = 4 * 1024 * 1024;

struct Registry::Hive {
    std::map<std::string, HiveKey> keys;  // by lower-case path
    bool writable = true;
};

namespace {

HiveValue* FindValue(HiveKey& key, std::string_view name) {
    for (auto& value : key.values) {
        if (EqualsNoCase(value.name, name)) {
            return &value;
        }
    }
    return nullptr;
}

const char* RootName(RegRoot root) {
    return root == RegRoot::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

bool ValidPath(std::string_view key) {
    if (key.empty() || key.front() == '\\' || key.back() == '\\' ||
        key.find("\\\\") != std::string_view::npos || key.front() == '-') {
        return false;
    }
    for (char c : key) {
        if (static_cast<unsigned char>(c) < 0x20) {
            return false;
        }
    }
    return true;
}

}  // namespace

Registry::Registry(Files files, FileWriter writer)
    : files_(std::move(files)), writeFile_(std::move(writer)) {}
Registry::~Registry() = default;

Registry::Hive& Registry::Loaded(RegRoot root) const {
    auto& slot = hives_[root];
    if (slot) {
        return *slot;
    }
    slot = std::make_unique<Hive>();
    const auto& path = root == RegRoot::CurrentUser ? files_.currentUser : files_.localMachine;
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return *slot;  // no hive yet: an empty one
    }
    std::ifstream in(path, std::ios::binary);
    const auto size = std::filesystem::file_size(path, error);
    if (!in || error) {
        Trace("Registry: cannot read %s (%s); using defaults and leaving it alone\n", path.c_str(),
              std::strerror(errno));
        slot->writable = false;
        return *slot;
    }
    HiveSalvage parsed{{}, {HiveParseError{1, "file too large"}}};
    if (size <= kMaxHiveFile) {
        const std::string text((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        parsed = SalvageHive(text);
    }
    for (auto& key : parsed.keys) {
        std::string lower = AsciiLower(key.path);
        slot->keys.emplace(std::move(lower), std::move(key));
    }
    if (parsed.bad.empty()) {
        return *slot;
    }
    // One bad line costs that line, not the hive: the rest is used, and the file as it
    // was is kept aside for a look.
    for (const auto& bad : parsed.bad) {
        Trace(
            "Registry: %s line %d: %s; %s\n", path.c_str(), bad.line, bad.message.c_str(),
            slot->keys.empty() ? "the hive is refused and defaults apply" : "the line is left out");
    }
    const auto aside = MoveAside(path);
    if (aside.empty()) {
        Trace("Registry: cannot move %s aside; it stays as it is and nothing is saved\n",
              path.c_str());
        slot->writable = false;
    } else {
        Trace("Registry: the unreadable %s is kept as %s\n", RootName(root), aside.c_str());
        if (!slot->keys.empty()) {
            // What was kept is the hive's file again at once, not only at the next change.
            Save(root, *slot);
        }
    }
    return *slot;
}

RegError Registry::Save(RegRoot root, Hive& hive) const {
    if (!hive.writable) {
        return RegError::AccessDenied;
    }
    HiveKeys keys;
    for (const auto& [lower, key] : hive.keys) {
        keys.push_back(key);
    }
    const bool user = root == RegRoot::CurrentUser;
    const auto& path = user ? files_.currentUser : files_.localMachine;
    const mode_t mode = user ? kUserHiveMode : kMachineHiveMode;
    const std::string text = FormatHive(keys);
    // A hive its reader refuses (too large, a key path or value name too long) would cost
    // every value at the next start: such a change is refused and the file left as it is.
    if (text.size() > kMaxHiveFile || std::holds_alternative<HiveParseError>(ParseHive(text))) {
        Trace("Registry: not saving %s: the hive would not read back\n", path.c_str());
        return RegError::InvalidData;
    }
    if (int error =
            writeFile_ ? writeFile_(path, text, mode) : WriteFileAtomically(path, text, mode)) {
        Trace("Registry: cannot save %s: %s\n", path.c_str(), std::strerror(error));
        return RegError::WriteFailed;
    }
    return RegError::Ok;
}

bool Registry::KeyExists(RegRoot root, std::string_view key) const {
    std::lock_guard guard(mutex_);
    return Loaded(root).keys.count(AsciiLower(key)) == 1;
}

RegError Registry::CreateKey(RegRoot root, std::string_view key) {
    if (!ValidPath(key)) {
        return RegError::InvalidData;
    }
    std::lock_guard guard(mutex_);
    Hive& hive = Loaded(root);
    const Hive before = hive;
    bool added = false;
    size_t end = 0;
    while (end != std::string_view::npos) {
        end = key.find('\\', end + 1);
        const std::string_view prefix = key.substr(0, end);
        if (hive.keys.emplace(AsciiLower(prefix), HiveKey{std::string(prefix), {}}).second) {
            added = true;
        }
    }
    if (!added) {
        return RegError::Ok;
    }
    const RegError result = Save(root, hive);
    if (result != RegError::Ok) {
        hive = before;
    }
    return result;
}

RegError Registry::Query(RegRoot root, std::string_view key, std::string_view name,
                         RegValue& value) const {
    std::lock_guard guard(mutex_);
    Hive& hive = Loaded(root);
    const auto it = hive.keys.find(AsciiLower(key));
    if (it == hive.keys.end()) {
        return RegError::NotFound;
    }
    const HiveValue* found = FindValue(it->second, name);
    if (found == nullptr) {
        return RegError::NotFound;
    }
    value = found->value;
    return RegError::Ok;
}

RegError Registry::QueryDword(RegRoot root, std::string_view key, std::string_view name,
                              uint32_t& value, RegType* type) const {
    RegValue stored;
    if (RegError error = Query(root, key, name, stored); error != RegError::Ok) {
        return error;
    }
    if (type != nullptr) {
        *type = stored.type;
    }
    if (stored.type == RegType::Dword) {
        value = stored.dword;
        return RegError::Ok;
    }
    std::vector<uint8_t> bytes = stored.bytes;
    if (stored.type == RegType::Sz) {
        bytes.assign(stored.text.begin(), stored.text.end());
        bytes.push_back(0);
    }
    if (bytes.size() > 4) {
        return RegError::MoreData;
    }
    bytes.resize(4, 0);
    value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return RegError::Ok;
}

RegError Registry::QueryString(RegRoot root, std::string_view key, std::string_view name,
                               std::string& value, RegType* type) const {
    RegValue stored;
    if (RegError error = Query(root, key, name, stored); error != RegError::Ok) {
        return error;
    }
    if (type != nullptr) {
        *type = stored.type;
    }
    if (stored.type == RegType::Sz) {
        value = stored.text;
    } else if (stored.type == RegType::Dword) {
        value.assign(reinterpret_cast<const char*>(&stored.dword), 4);
    } else {
        value.assign(stored.bytes.begin(), stored.bytes.end());
    }
    return RegError::Ok;
}

RegError Registry::Set(RegRoot root, std::string_view key, std::string_view name, RegValue value) {
    std::lock_guard guard(mutex_);
    Hive& hive = Loaded(root);
    const auto it = hive.keys.find(AsciiLower(key));
    if (it == hive.keys.end()) {
        return RegError::NotFound;
    }
    HiveKey before = it->second;
    if (HiveValue* existing = FindValue(it->second, name)) {
        existing->value = value;
    } else {
        it->second.values.push_back(HiveValue{std::string(name), value});
    }
    const RegError result = Save(root, hive);
    if (result != RegError::Ok) {
        it->second = std::move(before);
        return result;
    }
    if (root == RegRoot::CurrentUser && EqualsNoCase(key, kRunKey)) {
        MirrorRunValue(name, &value);
    }
    return RegError::Ok;
}

RegError Registry::SetDword(RegRoot root, std::string_view key, std::string_view name,
                            uint32_t value) {
    return Set(root, key, name, RegValue::Dword(value));
}

RegError Registry::SetString(RegRoot root, std::string_view key, std::string_view name,
                             std::string value) {
    return Set(root, key, name, RegValue::String(std::move(value)));
}

RegError Registry::SetValues(RegRoot root, std::string_view key,
                             const std::vector<ValueChange>& changes) {
    if (!ValidPath(key) || (root == RegRoot::CurrentUser && EqualsNoCase(key, kRunKey))) {
        return RegError::InvalidData;
    }
    std::lock_guard guard(mutex_);
    Hive& hive = Loaded(root);
    const Hive before = hive;
    size_t end = 0;
    while (end != std::string_view::npos) {
        end = key.find('\\', end + 1);
        const std::string_view prefix = key.substr(0, end);
        hive.keys.emplace(AsciiLower(prefix), HiveKey{std::string(prefix), {}});
    }
    HiveKey& target = hive.keys.at(AsciiLower(key));
    for (const ValueChange& change : changes) {
        if (HiveValue* existing = FindValue(target, change.name)) {
            if (change.value) {
                existing->value = *change.value;
            } else {
                std::erase_if(target.values, [&](const HiveValue& value) {
                    return EqualsNoCase(value.name, change.name);
                });
            }
        } else if (change.value) {
            target.values.push_back(HiveValue{change.name, *change.value});
        }
    }
    const RegError result = Save(root, hive);
    if (result != RegError::Ok) {
        hive = before;
    }
    return result;
}

RegError Registry::DeleteValue(RegRoot root, std::string_view key, std::string_view name) {
    std::lock_guard guard(mutex_);
    Hive& hive = Loaded(root);
    const auto it = hive.keys.find(AsciiLower(key));
    if (it == hive.keys.end()) {
        return RegError::NotFound;
    }
    auto& values = it->second.values;
    for (auto v = values.begin(); v != values.end(); ++v) {
        if (EqualsNoCase(v->name, name)) {
            HiveKey before = it->second;
            values.erase(v);
            const RegError result = Save(root, hive);
            if (result != RegError::Ok) {
                it->second = std::move(before);
                return result;
            }
            if (root == RegRoot::CurrentUser && EqualsNoCase(key, kRunKey)) {
                MirrorRunValue(name, nullptr);
            }
            return RegError::Ok;
        }
    }
    return RegError::NotFound;
}

void Registry::MirrorRunValue(std::string_view name, const RegValue* value) {
    if (!files_.autostartFolder) {
        return;
    }
    const std::string entry(name);
    bool ok = true;
    if (value != nullptr && value->type == RegType::Sz) {
        ok = WriteAutostartEntry(*files_.autostartFolder, entry, value->text);
    } else {
        ok = RemoveAutostartEntry(*files_.autostartFolder, entry);
    }
    if (!ok) {
        Trace("Registry: cannot update the autostart entry %s in %s\n", entry.c_str(),
              files_.autostartFolder->c_str());
    }
}

void Registry::Reload() {
    std::lock_guard guard(mutex_);
    hives_.clear();
}

}  // namespace velto::platform
