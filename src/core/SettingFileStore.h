#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "core/RegistryOptions.h"
#include "core/SharedState.h"
#include "core/UserSettings.h"

namespace velto::core {

// The signed-in Skype user's setting file "Setting" in the user's own folder
// (UserDataDir/MyHandle): reading it into the tables at each grant of access, writing
// them back, and the catalogue changes that are saved at once.
class SettingFileStore {
  public:
    // Files larger than this are refused unread: no real setting file comes near it.
    static constexpr size_t kMaxFileBytes = 16 * 1024 * 1024;

    SettingFileStore(SharedState& shared, UserSettings& settings, RegistryOptions& options);

    // Called after every save of the setting file: the missed-call list saves its file
    // there. Empty until the missed-call list is wired in. Saves run on the main thread and
    // on the partner downloader, so the saver may be called from either, even at once.
    void SetMissedCallSaver(std::function<void()> saver);

    // The user's own folder and the setting file in it; nothing while no valid Skype
    // handle is known (an empty handle or one that would leave the data folder).
    std::optional<std::filesystem::path> UserOwnFolder() const;
    std::optional<std::filesystem::path> SettingFilePath() const;

    // Reads the file into the tables and CurrentLanguage, or applies the defaults when
    // it is missing, damaged or this is the first run. A damaged file is moved aside to
    // "Setting.bad-<n>" for support to look at.
    void LoadSettingFile();

    // Writes the tables atomically (creating the own folder when missing), then saves the
    // missed-call file. False when the setting file could not be written (the old one is
    // then untouched).
    bool SaveSettingFile();

    // Adds a tone under the largest id + 1 (0 for an empty catalogue), saves, and
    // returns the id; nothing when no id is left.
    std::optional<int32_t> AddCatalogueTone(std::u16string title, std::u16string path);

    // Removes the tone and the converted-file entries that point at it, deletes the
    // tone's file and saves. The installation's default tone cannot be removed. Per-contact
    // choices that name the tone are left to the caller.
    bool RemoveCatalogueTone(int32_t id);

    // Every per-user item back to its default, CurrentLanguage = DefaultLanguageIndex, and
    // autostart, auto-update and friend messages on.
    void ApplyDefaultSettings();

    // While a hold lives, saves wait; its end saves once when any was asked for. Changes
    // made together (a cancelled dialog's pages put back one by one) so reach the file
    // together, never half of them.
    class SaveHold {
      public:
        explicit SaveHold(SettingFileStore& store);
        ~SaveHold();
        SaveHold(const SaveHold&) = delete;
        SaveHold& operator=(const SaveHold&) = delete;

      private:
        SettingFileStore& store_;
    };

  private:
    void KeepDamagedFile(const std::filesystem::path& path);
    void DeleteToneFile(const std::u16string& path);

    SharedState& shared_;
    UserSettings& settings_;
    RegistryOptions& options_;
    // Serialises saves, so that a later snapshot never lands before an earlier one.
    std::mutex saveMutex_;
    std::mutex saverMutex_;
    std::atomic<int> holds_{0};
    std::atomic<bool> heldSave_{false};
    std::function<void()> missedCallSaver_;
};

}  // namespace velto::core
