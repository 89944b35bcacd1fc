#include "ui/ContactDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

#include "i18n/LanguageTable.h"
#include "ui/Texts.h"

namespace velto::ui {

using skype::sip::ContactProblem;
using skype::sip::ContactResult;

namespace {

constexpr int kFieldChars = 32;

QLineEdit* Field(QWidget* parent, const QString& accessibleName) {
    auto* field = new QLineEdit(parent);
    field->setMinimumWidth(field->fontMetrics().averageCharWidth() * kFieldChars);
    field->setAccessibleName(accessibleName);
    return field;
}

QString ProblemText(const ContactResult& result, int32_t language) {
    switch (result.problem) {
        case ContactProblem::BadAddress:
            return Text(i18n::TXT_CONTACT_BAD_URI, language);
        case ContactProblem::TooManyGroups:
            return Text(i18n::TXT_CONTACT_MAX_GROUPS, language);
        case ContactProblem::Duplicate:
            return Text(i18n::TXT_CONTACT_DUPLICATE, language);
        default:
            // The system's own words (a file and its error) follow the sentence.
            return Text(i18n::TXT_CONTACT_NOT_SAVED, language) + QStringLiteral("\n") +
                   QString::fromStdString(result.detail);
    }
}

}  // namespace

ContactDialog::ContactDialog(int32_t language, bool editing, Apply apply, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      language_(language),
      apply_(std::move(apply)) {
    setObjectName(QStringLiteral("ContactDialog"));
    setWindowTitle(Text(editing ? i18n::TXT_CONTACT_EDIT : i18n::TXT_CONTACT_NEW, language));
    name_ = Field(this, Text(i18n::TXT_CONTACT_NAME, language));
    nickname_ = Field(this, Text(i18n::TXT_CONTACT_NICKNAME, language));
    address_ = Field(this, Text(i18n::TXT_CONTACT_ADDRESS, language));
    address_->setPlaceholderText(QStringLiteral("name@example.org"));
    groups_ = Field(this, Text(i18n::TXT_CONTACT_GROUPS, language));
    addressError_ = ErrorLabel();
    groupsError_ = ErrorLabel();
    saveError_ = ErrorLabel();
    auto* hint = new QLabel(Text(i18n::TXT_CONTACT_GROUP_HINT, language), this);
    hint->setWordWrap(true);
    hint->setForegroundRole(QPalette::PlaceholderText);

    auto* form = new QFormLayout;
    form->setRowWrapPolicy(QFormLayout::WrapLongRows);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    form->addRow(Text(i18n::TXT_CONTACT_NAME, language), name_);
    form->addRow(Text(i18n::TXT_CONTACT_NICKNAME, language), nickname_);
    form->addRow(Text(i18n::TXT_CONTACT_ADDRESS, language), address_);
    form->addRow(QString(), addressError_);
    form->addRow(Text(i18n::TXT_CONTACT_GROUPS, language), groups_);
    form->addRow(QString(), hint);
    form->addRow(QString(), groupsError_);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(Text(i18n::TXT_OK, language), QDialogButtonBox::AcceptRole);
    auto* cancel =
        buttons->addButton(Text(i18n::TXT_CANCEL, language), QDialogButtonBox::RejectRole);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &ContactDialog::Submit);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(saveError_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    address_->setFocus();
}

QLabel* ContactDialog::ErrorLabel() {
    auto* label = new QLabel(this);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Red that stays readable on a light and on a dark window.
    label->setStyleSheet(QStringLiteral("color: #d0342c;"));
    label->hide();
    return label;
}

void ContactDialog::SetFields(const skype::sip::SipContact& contact) {
    name_->setText(QString::fromStdString(contact.fullName));
    nickname_->setText(QString::fromStdString(contact.nickname));
    address_->setText(contact.address.host.empty() ? QString()
                                                   : QString::fromStdString(contact.address.Uri()));
    groups_->setText(QString::fromStdString(skype::sip::JoinGroups(contact.groups)));
}

void ContactDialog::Submit() {
    for (QLabel* label : {addressError_, groupsError_, saveError_}) {
        label->hide();
    }
    skype::sip::SipContact contact;
    ContactResult result = skype::sip::MakeContact(
        name_->text().toStdString(), nickname_->text().toStdString(),
        address_->text().toStdString(), groups_->text().toStdString(), contact);
    if (result.ok() && apply_) {
        result = apply_(contact);
    }
    if (!result.ok()) {
        ShowProblem(result);
        return;
    }
    accept();
}

void ContactDialog::ShowProblem(const ContactResult& result) {
    QLabel* label = saveError_;
    QLineEdit* field = nullptr;
    if (result.problem == ContactProblem::BadAddress ||
        result.problem == ContactProblem::Duplicate) {
        label = addressError_;
        field = address_;
    } else if (result.problem == ContactProblem::TooManyGroups) {
        label = groupsError_;
        field = groups_;
    }
    label->setText(ProblemText(result, language_));
    label->show();
    if (field != nullptr) {
        field->setFocus();
        field->selectAll();
    }
}

}  // namespace velto::ui
