#include "ui/ContactListSlot.h"

namespace velto::ui {

ContactListSlot::ContactListSlot(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("contactListSlot"));
}

void ContactListSlot::SetContent(QWidget* content) {
    if (content_ != nullptr && content_ != content) {
        content_->setParent(nullptr);
    }
    content_ = content;
    if (content_ != nullptr) {
        content_->setParent(this);
        content_->setGeometry(rect());
        content_->show();
    }
}

void ContactListSlot::resizeEvent(QResizeEvent* event) {
    if (content_ != nullptr) {
        content_->setGeometry(rect());
    }
    QWidget::resizeEvent(event);
}

}  // namespace velto::ui
