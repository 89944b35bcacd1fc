#include "ui/LanguageSelectionDialog.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "i18n/Languages.h"

namespace velto::ui {

LanguageSelectionDialog::LanguageSelectionDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(
        QString::fromUtf8(i18n::LanguageSelectionModel::kCaption.data(),
                          static_cast<qsizetype>(i18n::LanguageSelectionModel::kCaption.size())));
    setObjectName(QStringLiteral("language"));
    list_ = new QComboBox(this);
    for (const std::u16string& name : i18n::LanguageSelectionModel::Items()) {
        list_->addItem(QString::fromStdU16String(name));
    }
    list_->setCurrentIndex(model_.SelectedPosition());
    list_->setMinimumContentsLength(24);
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setDefault(true);
    connect(list_, &QComboBox::currentIndexChanged, this,
            [this](int position) { model_.Select(position); });
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    auto* caption = new QLabel(windowTitle(), this);
    QFont bold = caption->font();
    bold.setBold(true);
    caption->setFont(bold);
    layout->addWidget(caption);
    layout->addWidget(list_);
    auto* row = new QHBoxLayout();
    row->addStretch();
    row->addWidget(ok_);
    layout->addLayout(row);
    setFixedSize(sizeHint().expandedTo(QSize(320, 0)));
}

int32_t QtLanguageChooser::ChooseLanguage() {
    asked_ = true;
    if (answer_ && i18n::IsLanguage(*answer_)) {
        return *answer_;
    }
    LanguageSelectionDialog dialog;
    dialog.exec();
    return dialog.ChosenLanguage();
}

}  // namespace velto::ui
