#pragma once

#include <QDialog>
#include <vector>

#include "ui/TStackedPage.h"

namespace velto::ui {

// A dialog that hosts pages stacked over one placeholder: pages are made on first use by
// CreatePage (a subclass names them by template id), one is active and shown at a time.
class TStackedDialog : public QDialog {
    Q_OBJECT
  public:
    struct PageRecord {
        bool active = false;
        int templateId = 0;
        TStackedPage* page = nullptr;  // owned by the dialog (a child widget)
    };

    // `placeholder` marks where the pages go (a child of this dialog; kept hidden).
    explicit TStackedDialog(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

    void SetPlaceholder(QWidget* placeholder);
    // Creates the page, places it over the placeholder, enables it and calls its created
    // hook. Null when CreatePage makes none. Adding an existing page returns it.
    TStackedPage* AddPage(int templateId);
    // Hides the active page (its kill hook first) and shows this one, adding it if need
    // be, then calls its activated hook and PageChanged. False when there is no such page.
    bool ActivatePage(int templateId);
    TStackedPage* FindPage(int templateId) const;
    TStackedPage* ActivePage() const;
    const std::vector<PageRecord>& pages() const { return pages_; }

  protected:
    virtual TStackedPage* CreatePage(int templateId) = 0;
    virtual void PageChanged(int) {}
    // Relabels every page (call from the subclass's own refresh).
    void RefreshPages();
    void resizeEvent(QResizeEvent* event) override;

  private:
    QRect PageArea() const;

    QWidget* placeholder_ = nullptr;
    std::vector<PageRecord> pages_;
};

}  // namespace velto::ui
