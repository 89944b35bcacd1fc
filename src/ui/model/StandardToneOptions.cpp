#include "ui/model/StandardToneOptions.h"

#include "platform/Text.h"
#include "platform/Trace.h"
#include "ui/model/ToneFiles.h"

namespace velto::ui {

StandardToneOptions::StandardToneOptions(ToneContext context,
                                         std::optional<std::filesystem::path> ownFolder,
                                         std::filesystem::path installDir)
    : context_(std::move(context)),
      ownFolder_(std::move(ownFolder)),
      installDir_(std::move(installDir)),
      setting_(context_.settings.StandardTone()),
      title_(context_.settings.OwnToneTitle()),
      source_(context_.settings.OwnToneSource()),
      partnerKey_(context_.settings.PartnerToneKey()),
      partnerTones_(context_.PartnerTones()),
      picked_(context_.settingFile) {
    if (partnerTones_.empty()) {
        return;
    }
    const std::string key = platform::Utf16ToUtf8(partnerKey_);
    partnerIndex_ = 0;
    for (size_t i = 0; i < partnerTones_.size(); ++i) {
        if (partnerTones_[i].key == key) {
            partnerIndex_ = static_cast<int>(i);
        }
    }
    if (partnerTones_[partnerIndex_].key != key) {
        context_.settings.SetPartnerToneKey(platform::Utf8ToUtf16(partnerTones_[0].key));
    }
}

StandardToneOptions::~StandardToneOptions() {
    if (!done_) {
        Revert();
    }
}

void StandardToneOptions::ChooseDefault() {
    context_.settings.SetStandardTone(0);
}

void StandardToneOptions::ChooseOwn() {
    if (!OwnTitle().empty()) {
        context_.settings.SetStandardTone(1);
    }
}

void StandardToneOptions::ChoosePartner() {
    if (partnerIndex_ >= 0) {
        context_.settings.ChoosePartnerTone(
            platform::Utf8ToUtf16(partnerTones_[partnerIndex_].key));
    }
}

void StandardToneOptions::SelectPartner(int index) {
    if (index < 0 || index >= static_cast<int>(partnerTones_.size())) {
        return;
    }
    partnerIndex_ = index;
    context_.settings.SetPartnerToneKey(platform::Utf8ToUtf16(partnerTones_[index].key));
}

void StandardToneOptions::Picked(int32_t itemId, const std::u16string& sourceName) {
    picked_.Replace(itemId);
    const auto tone = context_.settings.FindTone(itemId);
    context_.settings.SetOwnToneTitle(tone ? tone->title : sourceName);
    context_.settings.SetOwnToneSource(sourceName);
    context_.settings.SetStandardTone(1);
}

std::filesystem::path StandardToneOptions::DefaultFile() const {
    return FileIn(installDir_, kDefaultRingBackFile);
}

std::optional<std::filesystem::path> StandardToneOptions::OwnFile() const {
    if (auto path = picked_.Path(context_.settings)) {
        return path;
    }
    if (!ownFolder_) {
        return std::nullopt;
    }
    return FileIn(*ownFolder_, kOwnRingBackFile);
}

std::optional<std::filesystem::path> StandardToneOptions::PartnerFile() const {
    if (partnerIndex_ < 0) {
        return std::nullopt;
    }
    return std::filesystem::path(partnerTones_[partnerIndex_].localPath);
}

void StandardToneOptions::Apply() {
    done_ = true;
    if (const auto path = picked_.Path(context_.settings)) {
        if (ownFolder_) {
            CopyToneOver(*path, FileIn(*ownFolder_, kOwnRingBackFile));
        } else {
            platform::Trace("Standard tone: no user folder, %s not copied\n", path->c_str());
        }
    }
    picked_.Discard();
}

void StandardToneOptions::Revert() {
    done_ = true;
    context_.settings.SetStandardTone(setting_);
    context_.settings.SetOwnToneTitle(title_);
    context_.settings.SetOwnToneSource(source_);
    context_.settings.SetPartnerToneKey(partnerKey_);
    picked_.Discard();
}

}  // namespace velto::ui
