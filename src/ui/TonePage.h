#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QRadioButton>
#include <QVBoxLayout>
#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ui/CURLLinkButton.h"
#include "ui/FilePickUpDialog.h"
#include "ui/OptionPage.h"
#include "ui/SoundPreview.h"

namespace velto::ui {

// An options page that chooses a tone: a box with a question, one radio row a choice, each
// with its play button, a line under the choices for the page's own widget, and "Browse",
// which opens the file picker for the user's own sound.
class TonePage : public OptionPage {
    Q_OBJECT
  public:
    // A choice's radio button and play button, by their control ids.
    struct Choice {
        int radioId;
        int playId;
    };

    QRadioButton* radio(int id) { return qobject_cast<QRadioButton*>(group_.button(id)); }
    // "Browse": the file picker (also what ticking the own sound without one does).
    FilePickUpDialog* Browse();
    FilePickUpDialog* filePicker() const { return picker_; }
    void PressPlay(int playId);
    int playing() const { return preview_.playing(); }
    CxSkinButton* playButton(int playId) { return plays_.at(playId); }

  protected:
    TonePage(app::Application& app, FilePickUpDialog::Purpose purpose,
             std::span<const Choice> choices, QWidget* parent);

    // The page's column: the box, then a stretch; a page may put more above the box.
    QVBoxLayout* column() { return column_; }
    QGroupBox* box() { return box_; }
    QLabel* question() { return question_; }
    QButtonGroup& group() { return group_; }
    // A widget over the box, first in the page's tab order.
    void PutAbove(QWidget* widget);
    // Under the choice's box.
    void PutBelow(QWidget* widget);
    // A link beside "Browse", after it in the tab order.
    void PutBesideBrowse(QWidget* link);
    // The row under the choices; next in the tab order after the last play button.
    void SetLine(QWidget* line);
    // The box's title and question and the browse link, in `language`.
    void ShowTexts(const QString& title, const QString& question, int32_t language);

    // The file a play button plays; none when there is nothing to hear.
    virtual std::optional<std::filesystem::path> FileToPlay(int playId) = 0;
    // A radio button was clicked.
    virtual void Ticked(int radioId) = 0;
    // The file picker made the user's own sound.
    virtual void Picked(int32_t itemId, const std::u16string& sourceName) = 0;
    // Shows the settings as they stand now.
    virtual void ShowSetting() = 0;

  private:
    void PickerFinished(int result);
    // Tab walks the page from top to bottom, whatever order its widgets were made in.
    void OrderTabs();

    const FilePickUpDialog::Purpose purpose_;
    SoundPreview preview_;
    QVBoxLayout* column_;
    QGroupBox* box_;
    QLabel* question_;
    QGridLayout* grid_;
    QButtonGroup group_;
    std::map<int, CxSkinButton*> plays_;
    std::vector<QWidget*> rows_;  // the choices' radio and play buttons, top to bottom
    QWidget* above_ = nullptr;
    QWidget* line_ = nullptr;
    CURLLinkButton* browse_ = nullptr;
    QHBoxLayout* links_ = nullptr;  // "Browse" and the links beside it
    QWidget* besideBrowse_ = nullptr;
    int lineRow_;
    QPointer<FilePickUpDialog> picker_;
};

}  // namespace velto::ui
