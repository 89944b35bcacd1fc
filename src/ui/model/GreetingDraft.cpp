#include "ui/model/GreetingDraft.h"

#include <cstdio>
#include <system_error>

#include "platform/PathComponent.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "ui/model/ToneFiles.h"

namespace velto::ui {
namespace {

using core::GreetingChoice;
using core::GreetingKind;

GreetingDraft::Option OptionOf(const std::optional<GreetingChoice>& greeting) {
    if (!greeting) {
        return GreetingDraft::Option::None;
    }
    switch (greeting->kind) {
        case GreetingKind::Own:
            return GreetingDraft::Option::Own;
        case GreetingKind::File:
            return GreetingDraft::Option::File;
        case GreetingKind::Standard:
            break;
    }
    return GreetingDraft::Option::Standard;
}

// FNV-1a: the same handle always names the same file.
std::string HashName(const std::string& text) {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

}  // namespace

GreetingDraft::GreetingDraft(ToneContext context, std::optional<std::filesystem::path> ownFolder,
                             std::string fileName, std::optional<core::GreetingChoice> current)
    : context_(std::move(context)),
      ownFolder_(std::move(ownFolder)),
      fileName_(std::move(fileName)),
      stored_(std::move(current)),
      option_(OptionOf(stored_)),
      picked_(context_.settingFile) {}

GreetingDraft::~GreetingDraft() {
    Discard();
}

std::string GreetingDraft::ContactFileName(const std::string& handle) {
    const std::string name = "Greeting-" + handle + ".wav";
    return platform::IsSafePathComponent(name) ? name : "Greeting-" + HashName(handle) + ".wav";
}

std::optional<std::filesystem::path> GreetingDraft::StoredFile() const {
    if (!ownFolder_ || !stored_ || stored_->kind != GreetingKind::File) {
        return std::nullopt;
    }
    return FileIn(*ownFolder_, stored_->file);
}

bool GreetingDraft::HasFile() const {
    return picked_.id() || recorded_ || StoredFile();
}

bool GreetingDraft::Choose(Option option) {
    if (option == Option::File && !HasFile()) {
        return false;
    }
    option_ = option;
    return true;
}

std::u16string GreetingDraft::FileTitle() const {
    if (picked_.id()) {
        return pickedTitle_;
    }
    if (recorded_) {
        return platform::Utf8ToUtf16(fileName_);
    }
    return stored_ && stored_->kind == GreetingKind::File ? platform::Utf8ToUtf16(stored_->file)
                                                          : std::u16string();
}

std::optional<std::filesystem::path> GreetingDraft::File() const {
    if (auto picked = picked_.Path(context_.settings)) {
        return picked;
    }
    if (recorded_) {
        return RecordTarget();
    }
    return StoredFile();
}

void GreetingDraft::Picked(int32_t itemId, const std::u16string& sourceName) {
    DropRecording();
    picked_.Replace(itemId);
    pickedTitle_ = sourceName;
    option_ = Option::File;
}

std::optional<std::filesystem::path> GreetingDraft::RecordTarget() const {
    if (!ownFolder_) {
        return std::nullopt;
    }
    const std::filesystem::path name(fileName_);
    return *ownFolder_ / (name.stem().string() + "-new" + name.extension().string());
}

void GreetingDraft::Recorded() {
    picked_.Discard();
    recorded_ = true;
    option_ = Option::File;
}

void GreetingDraft::DropRecording() {
    if (recorded_) {
        std::error_code error;
        std::filesystem::remove(*RecordTarget(), error);
        recorded_ = false;
    }
}

std::optional<core::GreetingChoice> GreetingDraft::Commit() {
    std::optional<GreetingChoice> chosen;
    switch (option_) {
        case Option::None:
            break;
        case Option::Standard:
            chosen = GreetingChoice{GreetingKind::Standard, {}};
            break;
        case Option::Own:
            chosen = GreetingChoice{GreetingKind::Own, {}};
            break;
        case Option::File:
            chosen = stored_;
            if (const auto file = File(); file && (picked_.id() || recorded_)) {
                if (ownFolder_ && CopyToneOver(*file, FileIn(*ownFolder_, fileName_))) {
                    chosen = GreetingChoice{GreetingKind::File, fileName_};
                } else {
                    platform::Trace("Greeting %s not made: the greeting stays as it was\n",
                                    fileName_.c_str());
                }
            }
            break;
    }
    // The greeting's own file goes with the choice of it; a file it only named stays.
    const bool ownFileLeft = stored_ && stored_->kind == GreetingKind::File &&
                             stored_->file == fileName_ &&
                             !(chosen && chosen->kind == GreetingKind::File);
    if (ownFileLeft && ownFolder_) {
        std::error_code error;
        std::filesystem::remove(FileIn(*ownFolder_, fileName_), error);
    }
    Discard();
    stored_ = chosen;
    return chosen;
}

void GreetingDraft::Revert() {
    Discard();
    option_ = OptionOf(stored_);
}

void GreetingDraft::Discard() {
    picked_.Discard();
    DropRecording();
}

}  // namespace velto::ui
