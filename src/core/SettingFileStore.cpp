#include "core/SettingFileStore.h"

#include <cstring>
#include <system_error>
#include <utility>

#include "core/BoundedFileRead.h"
#include "core/SettingFileCodec.h"
#include "platform/AtomicFile.h"
#include "platform/FileLookup.h"
#include "platform/PathComponent.h"
#include "platform/Text.h"
#include "platform/Trace.h"

namespace velto::core {
namespace {

constexpr const char* kSettingFileName = "Setting";

bool FitsNarrowField(const std::string& text) {
    return text.size() < static_cast<size_t>(kMaxNarrowStringBytes);
}

// Narrow strings that the file cannot hold would make the whole file unreadable; leave
// them out of it (they are traced) rather than write a file that is refused later.
void DropOverlongStrings(SettingFileContents& c) {
    auto clear = [](std::string& text, const char* field) {
        if (!FitsNarrowField(text)) {
            platform::Trace("Setting file: %s of %zu bytes is too long, not saved\n", field,
                            text.size());
            text.clear();
        }
    };
    clear(c.greetingSource, "greeting source");
    clear(c.ringToneSource, "ring-tone source");
    std::erase_if(c.converted, [](const ConvertedEntry& entry) {
        if (FitsNarrowField(entry.source)) {
            return false;
        }
        platform::Trace("Setting file: converted-file name of %zu bytes is too long, not saved\n",
                        entry.source.size());
        return true;
    });
    std::erase_if(c.ringBacks, [](const RingBackEntry& entry) {
        if (FitsNarrowField(entry.handle)) {
            return false;
        }
        platform::Trace("Setting file: contact handle of %zu bytes is too long, not saved\n",
                        entry.handle.size());
        return true;
    });
}

bool IsInside(const std::filesystem::path& file, const std::filesystem::path& folder) {
    const std::filesystem::path relative =
        file.lexically_normal().lexically_relative(folder.lexically_normal());
    return !relative.empty() && relative != "." && *relative.begin() != ".." && !file.is_relative();
}

}  // namespace

SettingFileStore::SettingFileStore(SharedState& shared, UserSettings& settings,
                                   RegistryOptions& options)
    : shared_(shared), settings_(settings), options_(options) {}

void SettingFileStore::SetMissedCallSaver(std::function<void()> saver) {
    std::lock_guard guard(saverMutex_);
    missedCallSaver_ = std::move(saver);
}

std::optional<std::filesystem::path> SettingFileStore::UserOwnFolder() const {
    const std::string handle = shared_.MyHandle.Get();
    if (!platform::IsSafePathComponent(handle)) {
        return std::nullopt;
    }
    return std::filesystem::path(shared_.UserDataDir.Get()) / handle;
}

std::optional<std::filesystem::path> SettingFileStore::SettingFilePath() const {
    const auto folder = UserOwnFolder();
    if (!folder) {
        return std::nullopt;
    }
    return platform::ResolveNoCase(*folder, kSettingFileName);
}

void SettingFileStore::LoadSettingFile() {
    const auto path = SettingFilePath();
    const std::string shown = path ? path->string() : shared_.UserDataDir.Get() + "/?/Setting";
    platform::Trace("Loading setting file: %s\n", shown.c_str());

    bool loaded = false;
    bool damaged = false;
    if (!path) {
        platform::Trace("Setting file: no usable Skype handle \"%s\"\n",
                        shared_.MyHandle.Get().c_str());
    } else if (!shared_.FirstRun.load()) {
        FileReadResult read = ReadWholeFile(*path, kMaxFileBytes);
        if (read.status == FileReadResult::Status::Ok) {
            platform::Trace("Setting file: %s found\n", shown.c_str());
            const SettingFileDecoded decoded = DecodeSettingFile(read.bytes);
            if (decoded.contents) {
                settings_.LoadFrom(*decoded.contents, shared_.InstallDirPath.Get());
                shared_.CurrentLanguage.store(decoded.contents->language);
                loaded = true;
            } else {
                platform::Trace("Setting file: %s is damaged, %s\n", shown.c_str(),
                                decoded.error.ToString().c_str());
                KeepDamagedFile(*path);
                damaged = true;
            }
        } else if (read.status == FileReadResult::Status::TooLarge) {
            platform::Trace("Setting file: %s found\n", shown.c_str());
            platform::Trace("Setting file: %s is damaged, %s\n", shown.c_str(), read.error.c_str());
            KeepDamagedFile(*path);
        } else if (read.status == FileReadResult::Status::Failed) {
            platform::Trace("Setting file: %s cannot be read, %s\n", shown.c_str(),
                            read.error.c_str());
        }
    }
    if (!loaded) {
        if (!damaged) {
            platform::Trace("Setting file: %s not found\n", shown.c_str());
        }
        platform::Trace("Use default setting\n");
        ApplyDefaultSettings();
    }
    platform::Trace("Finish loading\n");
}

void SettingFileStore::KeepDamagedFile(const std::filesystem::path& path) {
    const std::filesystem::path aside = platform::MoveAside(path);
    if (aside.empty()) {
        platform::Trace("Setting file: cannot keep the damaged file aside\n");
    } else {
        platform::Trace("Setting file: damaged file kept as %s\n", aside.c_str());
    }
}

bool SettingFileStore::SaveSettingFile() {
    if (holds_.load() > 0) {
        heldSave_ = true;
        return true;
    }
    bool saved = false;
    {
        std::lock_guard guard(saveMutex_);
        const auto path = SettingFilePath();
        if (!path) {
            platform::Trace("Error...cannot save setting file: no usable Skype handle \"%s\"\n",
                            shared_.MyHandle.Get().c_str());
        } else {
            SettingFileContents contents = settings_.Snapshot(shared_.CurrentLanguage.load());
            DropOverlongStrings(contents);
            const int error =
                platform::WriteFileAtomically(*path, EncodeSettingFile(contents), 0600);
            if (error == 0) {
                saved = true;
            } else {
                platform::Trace("Error...cannot save setting file %s: %s\n", path->c_str(),
                                std::strerror(error));
            }
        }
    }
    std::function<void()> saver;
    {
        std::lock_guard guard(saverMutex_);
        saver = missedCallSaver_;
    }
    if (saver) {
        saver();
    }
    return saved;
}

std::optional<int32_t> SettingFileStore::AddCatalogueTone(std::u16string title,
                                                          std::u16string path) {
    const std::optional<int32_t> id =
        settings_.InsertTone(CatalogueTone{std::move(title), std::move(path)});
    if (!id) {
        platform::Trace("Error...tone catalogue is full, tone not added\n");
        return std::nullopt;
    }
    SaveSettingFile();
    return id;
}

bool SettingFileStore::RemoveCatalogueTone(int32_t id) {
    if (id == kDefaultToneId) {
        platform::Trace("Error...the default tone cannot be removed\n");
        return false;
    }
    const std::optional<CatalogueTone> removed = settings_.EraseTone(id);
    if (!removed) {
        return false;
    }
    DeleteToneFile(removed->path);
    SaveSettingFile();
    return true;
}

void SettingFileStore::DeleteToneFile(const std::u16string& widePath) {
    const std::filesystem::path path = platform::Utf16ToUtf8(widePath);
    // The catalogue comes from a file; never let it point the program at files outside
    // the user's data folder (the installation's stock sounds, for one).
    if (!IsInside(path, shared_.UserDataDir.Get())) {
        platform::Trace("Tone file %s is outside the data folder, not deleted\n", path.c_str());
        return;
    }
    std::error_code error;
    if (!std::filesystem::remove(path, error) && error) {
        platform::Trace("Error...cannot delete tone file %s, %s\n", path.c_str(),
                        error.message().c_str());
    }
}

void SettingFileStore::ApplyDefaultSettings() {
    settings_.ResetToDefaults(shared_.InstallDirPath.Get());
    shared_.CurrentLanguage.store(shared_.DefaultLanguageIndex.load());
    options_.SetAutoStart(true);
    options_.SetAutoUpdate(true);
    options_.SetFriendMsg(true);
}

SettingFileStore::SaveHold::SaveHold(SettingFileStore& store) : store_(store) {
    ++store_.holds_;
}

SettingFileStore::SaveHold::~SaveHold() {
    if (--store_.holds_ == 0 && store_.heldSave_.exchange(false)) {
        store_.SaveSettingFile();
    }
}

}  // namespace velto::core
