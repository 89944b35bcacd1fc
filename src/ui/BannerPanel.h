#pragma once

#include <QTextBrowser>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "platform/Clock.h"
#include "platform/UrlOpener.h"
#include "platform/Workers.h"

namespace velto::ui {

// The embedded web panel: a text browser that shows a white placeholder page until the
// page at the address it was sent to has arrived. Pages are fetched on a worker with the
// program's HTTP fetcher, never on the UI thread; a failed, refused, slow, oversized or
// undecodable answer leaves the placeholder (or the last good page). Links open in the
// user's browser; nothing else is loaded and no script runs.
class BannerPanel : public QTextBrowser {
    Q_OBJECT
  public:
    // The height the dialogs give the panel, in pixels.
    static constexpr int kHeight = 60;
    static constexpr size_t kMaxPageBytes = 256 * 1024;
    // A page that sends nothing for this long (clock time) is given up.
    static constexpr platform::Millis kStallLimit{5000};
    static const char* const kPlaceholderPage;

    BannerPanel(platform::Clock& clock, platform::Workers& workers, platform::UrlOpener& opener,
                QWidget* parent = nullptr);
    ~BannerPanel() override;

    // Fetches `address` (http or https) and shows it when it arrives; a later Navigate
    // supersedes an earlier one still on its way.
    void Navigate(const std::string& address);
    void ShowPlaceholder();

    // The address of the page shown (empty: the placeholder), and of the last request.
    const std::string& shownAddress() const { return shown_; }
    const std::string& requestedAddress() const { return requested_; }
    // How many answers came back (good or not): tests wait on it.
    int answers() const { return answers_; }

    // The page's text when `body` is an acceptable page, else nothing.
    static std::optional<QString> AcceptPage(long status, const std::string& body, bool complete);

  signals:
    void pageArrived(bool shown);

  protected:
    QVariant loadResource(int type, const QUrl& name) override;

  private:
    struct Link;
    void Arrived(long generation, std::string address, std::optional<QString> page);

    platform::Clock& clock_;
    platform::Workers& workers_;
    platform::UrlOpener& opener_;
    std::shared_ptr<Link> link_;
    long generation_ = 0;
    int answers_ = 0;
    std::string shown_;
    std::string requested_;
};

}  // namespace velto::ui
