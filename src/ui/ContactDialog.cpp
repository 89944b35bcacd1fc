#include "ui/ContactDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

#include "i18n/LanguageTable.h"
#include "ui/Colours.h"
#include "ui/Texts.h"

namespace velto::ui {

using skype::sip::ContactProblem;
using skype::sip::ContactResult;

namespace {

// Wide enough for a long SIP address, and for the hint and the errors under the fields to
// wrap in two lines at most.
constexpr int kFieldChars = 46;

int FieldWidth(const QWidget* widget) {
    return widget->fontMetrics().averageCharWidth() * kFieldChars;
}

// A text under a field, wrapped at the field's width: its height is asked for that width,
// so that the dialog's fixed size leaves no gap above or below it.
class WrappedLabel final : public QLabel {
  public:
    WrappedLabel(const QString& text, QWidget* parent)
        : QLabel(text, parent), width_(FieldWidth(parent)) {
        setWordWrap(true);
    }
    QSize sizeHint() const override { return {width_, heightForWidth(width_)}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

  private:
    int width_;
};

QLineEdit* Field(QWidget* parent, const QString& accessibleName) {
    auto* field = new QLineEdit(parent);
    field->setMinimumWidth(FieldWidth(parent));
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
    auto* hint = new WrappedLabel(Text(i18n::TXT_CONTACT_GROUP_HINT, language), this);
    hint->setForegroundRole(QPalette::PlaceholderText);

    auto* form = new QFormLayout;
    form->setRowWrapPolicy(QFormLayout::WrapLongRows);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
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
    layout->addSpacing(layout->spacing());
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    address_->setFocus();
}

QLabel* ContactDialog::ErrorLabel() {
    auto* label = new WrappedLabel(QString(), this);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Red that stays readable on a light and on a dark window.
    label->setStyleSheet(QStringLiteral("color: %1;").arg(WarningColour().name()));
    label->hide();
    return label;
}

void ContactDialog::SetFields(const skype::sip::SipContact& contact) {
    name_->setText(QString::fromStdString(contact.fullName));
    nickname_->setText(QString::fromStdString(contact.nickname));
    address_->setText(contact.address.host.empty() ? QString()
                                                   : QString::fromStdString(contact.address.Uri()));
    groups_->setText(QString::fromStdString(skype::sip::JoinGroups(contact.groups)));
    // A known address (a caller's, a contact's) leaves the name to type first.
    (address_->text().isEmpty() ? address_ : name_)->setFocus();
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
