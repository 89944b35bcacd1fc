#include "ui/model/RingToneChoice.h"

#include "calls/RingBackTone.h"
#include "i18n/LanguageTable.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "ui/model/OptionRowText.h"
#include "ui/model/ToneFiles.h"

namespace velto::ui {
namespace {

constexpr int32_t kSloganLanguage = 1;

ChoiceRow LogoRow() {
    ChoiceRow row;
    row.kind = ChoiceKind::Logo;
    return row;
}

void Fill(ChoiceRow& row, const partner::PartnerTone& tone) {
    row.partnerItem = tone.catalogueItem;
    row.partnerFile = tone.downloaded ? tone.localPath : std::string();
    row.downloading = !tone.downloaded;
    row.progress = tone.progress;
    row.enabled = tone.downloaded && tone.catalogueItem != core::kDefaultToneId;
}

// True when a contact other than `handle` hears catalogue item `id`.
bool UsedByAnother(const core::UserSettings& settings, const std::string& handle, int32_t id) {
    for (const auto& [other, choice] : settings.RingBacks()) {
        if (other != handle && ((choice.mode == calls::kModeFirstItem && choice.firstId == id) ||
                                (choice.mode == calls::kModeSecondItem && choice.secondId == id))) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<int32_t> ModeOfKind(ChoiceKind kind) {
    switch (kind) {
        case ChoiceKind::Ad:
            return calls::kModeAd;
        case ChoiceKind::Standard:
            return calls::kModeStandard;
        case ChoiceKind::Own:
            return calls::kModeFirstItem;
        case ChoiceKind::Partner:
            return calls::kModeSecondItem;
        default:
            return std::nullopt;
    }
}

RingToneChoice::RingToneChoice(ToneContext context, std::string handle, int32_t language)
    : context_(std::move(context)),
      handle_(std::move(handle)),
      language_(language),
      entry_(context_.settings.FindOrAddRingBack(handle_)),
      picked_(context_.settingFile) {
    BuildRows();
    int start = RowOfKind(ChoiceKind::Standard);
    if (entry_.mode == calls::kModeFirstItem && context_.settings.FindTone(entry_.firstId)) {
        start = RowOfKind(ChoiceKind::Own);
    } else if (entry_.mode == calls::kModeSecondItem) {
        for (size_t i = 0; i < rows_.size(); ++i) {
            if (rows_[i].kind == ChoiceKind::Partner && rows_[i].partnerItem == entry_.secondId &&
                rows_[i].partnerItem != core::kDefaultToneId) {
                start = static_cast<int>(i);
            }
        }
    }
    ticked_ = start;
    tickedBeforePick_ = start;
}

RingToneChoice::~RingToneChoice() {
    if (!done_) {
        Cancel();
    }
}

void RingToneChoice::RefreshStandardDescription() {
    rows_[static_cast<size_t>(RowOfKind(ChoiceKind::Standard))].description =
        StandardToneName(context_, language_);
}

void RingToneChoice::BuildRows() {
    rows_.clear();
    ChoiceRow standard;
    standard.kind = ChoiceKind::Standard;
    standard.label = i18n::GetText(i18n::TXT_STANDARD_RINGBACK, language_);
    standard.description = StandardToneName(context_, language_);
    rows_.push_back(standard);

    ChoiceRow own;
    own.kind = ChoiceKind::Own;
    // A legacy entry may name item 0 without meaning it; only an entry that plays its own
    // tone, or one that names a tone other than the default, has one.
    const auto ownTone = entry_.firstId != core::kDefaultToneId
                             ? context_.settings.FindTone(entry_.firstId)
                             : std::nullopt;
    own.label = ownTone ? ownTone->title : i18n::GetText(i18n::TXT_CHOOSE_RINGBACK, language_);
    rows_.push_back(own);

    const std::vector<partner::PartnerTone> tones = context_.PartnerTones();
    if (!tones.empty()) {
        rows_.push_back(LogoRow());
        for (const partner::PartnerTone& tone : tones) {
            ChoiceRow row;
            row.kind = ChoiceKind::Partner;
            row.label = platform::Utf8ToUtf16(tone.title);
            row.partnerKey = tone.key;
            Fill(row, tone);
            rows_.push_back(row);
        }
    } else if (language_ == kSloganLanguage) {
        rows_.push_back(LogoRow());
        ChoiceRow slogan;
        slogan.kind = ChoiceKind::Slogan;
        slogan.label = i18n::GetText(i18n::TXT_PARTNER_SLOGAN, kSloganLanguage);
        rows_.push_back(slogan);
    }
}

int RingToneChoice::RowOfKind(ChoiceKind kind) const {
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].kind == kind) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int RingToneChoice::OwnRow() const {
    return RowOfKind(ChoiceKind::Own);
}

RingToneChoice::TickResult RingToneChoice::Tick(int row) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        return TickResult::Ignored;
    }
    const ChoiceRow& chosen = rows_[row];
    switch (chosen.kind) {
        case ChoiceKind::Logo:
            return TickResult::Ignored;
        case ChoiceKind::Slogan:
            return TickResult::OpenPartnerPage;
        case ChoiceKind::Partner:
            if (!chosen.enabled) {
                return TickResult::Ignored;
            }
            break;
        case ChoiceKind::Own:
            if (!picked_.id() && (entry_.firstId == core::kDefaultToneId ||
                                  !context_.settings.FindTone(entry_.firstId))) {
                tickedBeforePick_ = ticked_;
                ticked_ = row;
                return TickResult::PickFile;
            }
            break;
        case ChoiceKind::Ad:
        case ChoiceKind::Standard:
            break;
        default:
            return TickResult::BadKind;
    }
    ticked_ = row;
    return TickResult::Ticked;
}

void RingToneChoice::StartPick() {
    tickedBeforePick_ = ticked_;
    ticked_ = OwnRow();
}

void RingToneChoice::PickCancelled() {
    ticked_ = tickedBeforePick_;
}

void RingToneChoice::Picked(int32_t itemId) {
    picked_.Replace(itemId);
    const auto tone = context_.settings.FindTone(itemId);
    rows_[OwnRow()].label = tone ? tone->title : std::u16string();
    ticked_ = OwnRow();
}

bool RingToneChoice::RefreshPartnerRows() {
    bool changed = false;
    const std::vector<partner::PartnerTone> tones = context_.PartnerTones();
    for (ChoiceRow& row : rows_) {
        if (row.kind != ChoiceKind::Partner) {
            continue;
        }
        for (const partner::PartnerTone& tone : tones) {
            if (tone.key == row.partnerKey) {
                const ChoiceRow before = row;
                Fill(row, tone);
                changed = changed || before.progress != row.progress ||
                          before.enabled != row.enabled || before.downloading != row.downloading;
            }
        }
    }
    return changed;
}

bool RingToneChoice::AnyDownloading() const {
    for (const ChoiceRow& row : rows_) {
        if (row.kind == ChoiceKind::Partner && row.downloading) {
            return true;
        }
    }
    return false;
}

bool RingToneChoice::Ok() {
    const ChoiceRow& chosen = rows_[ticked_];
    const std::optional<int32_t> mode = ModeOfKind(chosen.kind);
    if (!mode) {
        return false;
    }
    done_ = true;
    const std::optional<int32_t> newOwn = picked_.Release();
    const core::RingBackChoice before =
        context_.settings.UpdateRingBack(handle_, [&](core::RingBackChoice& entry) {
            if (newOwn) {
                entry.firstId = *newOwn;
            }
            entry.mode = *mode;
            if (*mode == calls::kModeSecondItem && chosen.partnerItem != core::kDefaultToneId) {
                entry.secondId = chosen.partnerItem;
            }
        });
    // The contact's former own tone goes once a new one replaced it, unless another
    // contact hears it too.
    if (newOwn && before.firstId != core::kDefaultToneId && before.firstId != *newOwn &&
        !UsedByAnother(context_.settings, handle_, before.firstId)) {
        context_.settingFile.RemoveCatalogueTone(before.firstId);
    }
    if (!context_.settingFile.SaveSettingFile()) {
        platform::Trace("Ring-back choice for %s: the setting file was not saved\n",
                        handle_.c_str());
    }
    return true;
}

std::optional<std::filesystem::path> RingToneChoice::PlayFile(
    int row, const calls::ToneFolders& folders) const {
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        return std::nullopt;
    }
    const ChoiceRow& chosen = rows_[row];
    switch (chosen.kind) {
        case ChoiceKind::Standard:
            return StandardToneFile(folders);
        case ChoiceKind::Own: {
            if (auto path = picked_.Path(context_.settings)) {
                return path;
            }
            const auto tone = entry_.firstId != core::kDefaultToneId
                                  ? context_.settings.FindTone(entry_.firstId)
                                  : std::nullopt;
            if (tone) {
                return std::filesystem::path(tone->path);
            }
            return std::nullopt;
        }
        case ChoiceKind::Partner:
            if (chosen.partnerFile.empty()) {
                return std::nullopt;
            }
            return std::filesystem::path(chosen.partnerFile);
        default:
            return std::nullopt;
    }
}

std::filesystem::path RingToneChoice::StandardToneFile(const calls::ToneFolders& folders) const {
    int32_t setting = context_.settings.StandardTone();
    if (setting == 2) {
        const std::string key = platform::Utf16ToUtf8(context_.settings.PartnerToneKey());
        for (const partner::PartnerTone& tone : context_.PartnerTones()) {
            if (tone.key == key && tone.downloaded) {
                return tone.localPath;
            }
        }
        // As a call would: without the partner tone, the own standard tone if one was picked.
        setting = context_.settings.OwnToneSource().empty() ? 0 : 1;
    }
    if (setting == 1 && folders.ownFolder) {
        return FileIn(*folders.ownFolder, kOwnRingBackFile);
    }
    return FileIn(folders.installDir, kDefaultRingBackFile);
}

void RingToneChoice::Cancel() {
    done_ = true;
    picked_.Discard();
}

}  // namespace velto::ui
