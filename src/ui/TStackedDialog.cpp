#include "ui/TStackedDialog.h"

namespace velto::ui {

TStackedDialog::TStackedDialog(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags) {}

void TStackedDialog::SetPlaceholder(QWidget* placeholder) {
    placeholder_ = placeholder;
    if (placeholder_ != nullptr) {
        placeholder_->hide();
    }
    for (auto& record : pages_) {
        record.page->setGeometry(PageArea());
    }
}

QRect TStackedDialog::PageArea() const {
    return placeholder_ != nullptr ? placeholder_->geometry() : rect();
}

TStackedPage* TStackedDialog::AddPage(int templateId) {
    if (TStackedPage* existing = FindPage(templateId)) {
        return existing;
    }
    TStackedPage* page = CreatePage(templateId);
    if (page == nullptr) {
        return nullptr;
    }
    page->setParent(this);
    page->setGeometry(PageArea());
    page->setEnabled(true);
    page->hide();
    pages_.push_back(PageRecord{false, templateId, page});
    page->OnCreatePage();
    return page;
}

bool TStackedDialog::ActivatePage(int templateId) {
    TStackedPage* page = AddPage(templateId);
    if (page == nullptr) {
        return false;
    }
    for (auto& record : pages_) {
        if (record.active && record.page != page) {
            record.page->OnKillActive();
            record.page->hide();
            record.active = false;
        }
    }
    page->show();
    page->raise();
    page->update();
    for (auto& record : pages_) {
        if (record.page == page) {
            record.active = true;
        }
    }
    page->OnSetActive();
    PageChanged(templateId);
    return true;
}

TStackedPage* TStackedDialog::FindPage(int templateId) const {
    for (const auto& record : pages_) {
        if (record.templateId == templateId) {
            return record.page;
        }
    }
    return nullptr;
}

TStackedPage* TStackedDialog::ActivePage() const {
    for (const auto& record : pages_) {
        if (record.active) {
            return record.page;
        }
    }
    return nullptr;
}

void TStackedDialog::RefreshPages() {
    for (auto& record : pages_) {
        record.page->RefreshTexts();
    }
}

void TStackedDialog::resizeEvent(QResizeEvent* event) {
    for (auto& record : pages_) {
        record.page->setGeometry(PageArea());
    }
    QDialog::resizeEvent(event);
}

}  // namespace velto::ui
