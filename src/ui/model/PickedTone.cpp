#include "ui/model/PickedTone.h"

#include "platform/TempFile.h"
#include "platform/Text.h"
#include "platform/Trace.h"

namespace velto::ui {

void PickedTone::Replace(int32_t itemId) {
    if (id_ && *id_ != itemId) {
        settingFile_.RemoveCatalogueTone(*id_);
    }
    id_ = itemId;
}

void PickedTone::Discard() {
    if (id_) {
        settingFile_.RemoveCatalogueTone(*id_);
        id_.reset();
    }
}

std::optional<int32_t> PickedTone::Release() {
    std::optional<int32_t> id = id_;
    id_.reset();
    return id;
}

std::optional<std::filesystem::path> PickedTone::Path(const core::UserSettings& settings) const {
    if (!id_) {
        return std::nullopt;
    }
    const auto tone = settings.FindTone(*id_);
    if (!tone) {
        return std::nullopt;
    }
    return std::filesystem::path(platform::Utf16ToUtf8(tone->path));
}

bool CopyToneOver(const std::filesystem::path& source, const std::filesystem::path& target) {
    std::error_code ec;
    std::filesystem::create_directories(target.parent_path(), ec);
    const auto temp = platform::CreateTempFile(target.parent_path(), "SKY");
    if (!temp) {
        platform::Trace("Cannot copy %s: no temporary file in %s\n", source.c_str(),
                        target.parent_path().c_str());
        return false;
    }
    platform::TempFileGuard guard(*temp);
    std::filesystem::copy_file(source, *temp, std::filesystem::copy_options::overwrite_existing,
                               ec);
    if (!ec) {
        std::filesystem::rename(*temp, target, ec);
    }
    if (ec) {
        platform::Trace("Cannot copy %s over %s: %s\n", source.c_str(), target.c_str(),
                        ec.message().c_str());
        return false;
    }
    guard.Release();
    return true;
}

}  // namespace velto::ui
