#include "ui/TonePage.h"

#include <QGridLayout>

#include "app/Application.h"
#include "ui/Texts.h"

namespace velto::ui {
namespace {

constexpr int kBrowseLinkId = 1107;

}  // namespace

TonePage::TonePage(app::Application& app, FilePickUpDialog::Purpose purpose,
                   std::span<const Choice> choices, QWidget* parent)
    : OptionPage(app, parent),
      purpose_(purpose),
      preview_(app),
      column_(new QVBoxLayout(this)),
      box_(new QGroupBox(this)),
      question_(new QLabel(box_)),
      grid_(new QGridLayout(box_)),
      lineRow_(1 + static_cast<int>(choices.size())) {
    column_->setContentsMargins(12, 12, 12, 12);
    column_->addWidget(box_);
    column_->addStretch();
    grid_->setHorizontalSpacing(8);
    grid_->setVerticalSpacing(8);
    question_->setWordWrap(true);
    grid_->addWidget(question_, 0, 0, 1, 2);
    int row = 1;
    for (const Choice& choice : choices) {
        auto* radio = new QRadioButton(box_);
        group_.addButton(radio, choice.radioId);
        grid_->addWidget(radio, row, 0);
        CxSkinButton* play = preview_.AddButton(box_, choice.playId);
        grid_->addWidget(play, row++, 1);
        const int id = choice.playId;
        connect(play, &QAbstractButton::clicked, this, [this, id] { PressPlay(id); });
        plays_[id] = play;
        rows_.insert(rows_.end(), {radio, play});
    }
    browse_ = new CURLLinkButton(app.urlOpener(), kBrowseLinkId, box_);
    links_ = new QHBoxLayout;
    links_->setSpacing(16);
    links_->addWidget(browse_);
    links_->addStretch();
    grid_->addLayout(links_, lineRow_ + 1, 0, 1, 2);
    grid_->setColumnStretch(0, 1);
    connect(&group_, &QButtonGroup::idClicked, this, [this](int id) { Ticked(id); });
    connect(browse_, &CURLLinkButton::linkClicked, this, [this] { Browse(); });
}

void TonePage::PutAbove(QWidget* widget) {
    column_->insertWidget(0, widget);
    above_ = widget;
    OrderTabs();
}

void TonePage::PutBelow(QWidget* widget) {
    column_->insertWidget(column_->indexOf(box_) + 1, widget);
}

void TonePage::PutBesideBrowse(QWidget* link) {
    links_->insertWidget(links_->indexOf(browse_) + 1, link);
    besideBrowse_ = link;
    OrderTabs();
}

void TonePage::SetLine(QWidget* line) {
    grid_->addWidget(line, lineRow_, 0, 1, 2);
    line_ = line;
    OrderTabs();
}

void TonePage::OrderTabs() {
    std::vector<QWidget*> order;
    if (above_) {
        order.push_back(above_);
    }
    order.insert(order.end(), rows_.begin(), rows_.end());
    if (line_) {
        order.push_back(line_);
    }
    order.push_back(browse_);
    if (besideBrowse_) {
        order.push_back(besideBrowse_);
    }
    // Widgets Tab passes over (labels, the skinned play buttons) are no link in the chain.
    std::erase_if(order, [](QWidget* widget) { return !(widget->focusPolicy() & Qt::TabFocus); });
    for (size_t i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

void TonePage::ShowTexts(const QString& title, const QString& question, int32_t language) {
    box_->setTitle(title);
    question_->setText(question);
    browse_->setText(Text(i18n::TXT_BROWSE, language));
}

FilePickUpDialog* TonePage::Browse() {
    if (picker_ && picker_->isVisible()) {
        return picker_;
    }
    picker_ = FilePickUpDialog::Open(application(), purpose_, window());
    connect(picker_, &QDialog::finished, this, &TonePage::PickerFinished);
    return picker_;
}

void TonePage::PickerFinished(int result) {
    if (result == QDialog::Accepted && picker_) {
        Picked(picker_->itemId(), picker_->sourceName());
    }
    ShowSetting();
}

void TonePage::PressPlay(int playId) {
    if (const auto file = FileToPlay(playId)) {
        preview_.Press(playId, *file);
    }
}

}  // namespace velto::ui
