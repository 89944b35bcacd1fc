#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "core/SettingFileContents.h"
#include "ui/model/PickedTone.h"
#include "ui/model/ToneContext.h"

namespace velto::ui {

// A greeting being chosen in an open dialog: the voice-mail page's, the user's own, a file
// of the user's folder or, for the busy greeting, none. A file the user picks (a converted
// tone of the catalogue) or records belongs to the dialog until Commit copies it over the
// greeting's own file in the user's folder; Discard (and the end of an uncommitted draft)
// leaves nothing behind.
class GreetingDraft {
  public:
    // The choices in the order a list shows them (None only where it is allowed).
    enum class Option { None, Standard, Own, File };

    // `fileName`: the greeting's own file in `ownFolder`, which a new file becomes;
    // `current`: the greeting as it is stored (nothing: none).
    GreetingDraft(ToneContext context, std::optional<std::filesystem::path> ownFolder,
                  std::string fileName, std::optional<core::GreetingChoice> current);
    ~GreetingDraft();
    GreetingDraft(const GreetingDraft&) = delete;
    GreetingDraft& operator=(const GreetingDraft&) = delete;

    Option option() const { return option_; }
    // False, with nothing changed, for File while there is no file: pick or record one.
    bool Choose(Option option);
    bool HasFile() const;
    // The name of the file the File choice plays: the picked file's, else the stored one's.
    std::u16string FileTitle() const;
    // What the File choice plays now (the new file before Commit); nothing without one.
    std::optional<std::filesystem::path> File() const;

    // The picker entered the user's file as catalogue tone `itemId`; File is chosen.
    void Picked(int32_t itemId, const std::u16string& sourceName);
    // Where a recording is to be made (beside the greeting's file); nothing without a
    // user folder.
    std::optional<std::filesystem::path> RecordTarget() const;
    // A recording is in RecordTarget(); File is chosen.
    void Recorded();

    // Puts a new file in place and returns the greeting to store (nothing: none), which
    // the draft then starts from. A new file that cannot be put in place leaves the stored
    // greeting as it was.
    std::optional<core::GreetingChoice> Commit();
    // Drops a new file; the choice stays.
    void Discard();
    // Drops a new file and goes back to the stored greeting.
    void Revert();

    // The own file of a contact's greeting: "Greeting-HANDLE.wav", or a name made from the
    // handle's hash for a handle that cannot be part of a file name.
    static std::string ContactFileName(const std::string& handle);
    static constexpr const char* kBusyFileName = "BusyGreeting.wav";

  private:
    void DropRecording();
    std::optional<std::filesystem::path> StoredFile() const;

    ToneContext context_;
    const std::optional<std::filesystem::path> ownFolder_;
    const std::string fileName_;
    std::optional<core::GreetingChoice> stored_;
    Option option_;
    PickedTone picked_;
    std::u16string pickedTitle_;
    bool recorded_ = false;
};

}  // namespace velto::ui
