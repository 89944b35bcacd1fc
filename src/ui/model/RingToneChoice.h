#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "calls/RingBackTone.h"

#include "ui/model/PickedTone.h"
#include "ui/model/ToneContext.h"

namespace velto::ui {

// The partner service's page, opened from the slogan row.
inline constexpr const char* kPartnerPage = "http://www.quorin.example/index.jsp";

// The rows of the per-contact choice list. The numbers decide the mode OK stores.
enum class ChoiceKind : int32_t {
    Ad = 0,
    Standard = 1,
    Own = 2,
    Partner = 3,
    Logo = 4,  // the partner service's logo: no choice
    Slogan = 5,
};

struct ChoiceRow {
    ChoiceKind kind = ChoiceKind::Standard;
    std::u16string label;
    std::u16string description;
    std::string partnerKey;
    int32_t partnerItem = -1;  // the partner tone's catalogue item, -1 until downloaded
    std::string partnerFile;   // the partner tone's file once downloaded
    bool enabled = true;       // whether the radio can be ticked
    bool downloading = false;
    double progress = 0.0;  // 0..1 while downloading
};

// The ring-back mode a ticked row of `kind` stores; nothing for a kind that is no choice
// (the logo, the slogan, or a value outside the list's kinds).
std::optional<int32_t> ModeOfKind(ChoiceKind kind);

// The per-contact ring-back tone dialog without its widgets: the choice list, what ticking a
// row does, and what OK stores.
class RingToneChoice {
  public:
    // BadKind: the row is of a kind outside the list's kinds; nothing changed.
    enum class TickResult { Ticked, PickFile, OpenPartnerPage, Ignored, BadKind };

    RingToneChoice(ToneContext context, std::string handle, int32_t language);
    // Whatever is still picked goes, as on Cancel.
    ~RingToneChoice();
    RingToneChoice(const RingToneChoice&) = delete;
    RingToneChoice& operator=(const RingToneChoice&) = delete;

    const std::vector<ChoiceRow>& rows() const { return rows_; }
    // The standard row's description again, after the standard tone may have changed.
    void RefreshStandardDescription();
    int RowOfKind(ChoiceKind kind) const;
    const std::string& handle() const { return handle_; }
    int ticked() const { return ticked_; }
    int OwnRow() const;

    // The user ticks `row`. PickFile: the own-tone row has no tone yet; it stays ticked
    // until Picked or PickCancelled. OpenPartnerPage: the slogan row; the tick stays where
    // it was.
    TickResult Tick(int row);
    // The own-tone row's "Change": a new own tone even when the contact has one.
    void StartPick();
    void PickCancelled();
    // The conversion entered the picked file as catalogue item `itemId`.
    void Picked(int32_t itemId);

    // Reads the partner tones' download state again; true when a row changed.
    bool RefreshPartnerRows();
    bool AnyDownloading() const;

    // What the play button of `row` plays: the standard tone by the standard-tone setting,
    // the contact's own tone, a downloaded partner tone. Nothing for the other rows and
    // while the row has no tone.
    std::optional<std::filesystem::path> PlayFile(int row, const calls::ToneFolders& folders) const;

    // OK: stores the choice and saves the setting file. False, storing nothing, when the
    // ticked row's kind is no choice.
    bool Ok();
    // Cancel: changes nothing; a tone picked here leaves the catalogue with its file.
    void Cancel();

  private:
    void BuildRows();
    std::filesystem::path StandardToneFile(const calls::ToneFolders& folders) const;

    ToneContext context_;
    const std::string handle_;
    const int32_t language_;
    core::RingBackChoice entry_;
    std::vector<ChoiceRow> rows_;
    int ticked_ = 0;
    int tickedBeforePick_ = 0;
    PickedTone picked_;
    bool done_ = false;
};

}  // namespace velto::ui
