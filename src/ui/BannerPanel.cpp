#include "ui/BannerPanel.h"

#include <QMetaObject>
#include <QStringDecoder>
#include <QUrl>
#include <mutex>

#include "partner/CurlFetcher.h"
#include "platform/Trace.h"
#include "ui/Colours.h"

namespace velto::ui {

const char* const BannerPanel::kPlaceholderPage =
    "<html><body><table width=\"100%\"><tr><td></td></tr></table>"
    "</body></html>";

// The worker's way back to the panel: cleared when the panel goes, so that an answer that
// arrives later is dropped.
struct BannerPanel::Link {
    std::mutex mutex;
    BannerPanel* panel = nullptr;
};

namespace {

class PageSink final : public partner::HttpSink {
  public:
    bool OnHead(const partner::HttpResponseHead& head) override {
        status = head.status;
        if (head.contentLength && *head.contentLength > BannerPanel::kMaxPageBytes) {
            tooLong = true;
            return false;
        }
        return true;
    }
    bool OnData(const char* data, size_t size) override {
        if (body.size() + size > BannerPanel::kMaxPageBytes) {
            tooLong = true;
            return false;
        }
        body.append(data, size);
        return true;
    }

    long status = 0;
    bool tooLong = false;
    std::string body;
};

}  // namespace

BannerPanel::BannerPanel(platform::Clock& clock, platform::Workers& workers,
                         platform::UrlOpener& opener, QWidget* parent)
    : QTextBrowser(parent),
      clock_(clock),
      workers_(workers),
      opener_(opener),
      link_(std::make_shared<Link>()) {
    link_->panel = this;
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setFrameShape(QFrame::NoFrame);
    // A one-line strip: arrows would cover what little it shows.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setStyleSheet(
        QStringLiteral("QTextBrowser { background: %1; }").arg(BodyColour(palette()).name()));
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        const QString scheme = url.scheme().toLower();
        if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
            opener_.Open(url.toString().toStdString());
        }
    });
    ShowPlaceholder();
}

BannerPanel::~BannerPanel() {
    std::lock_guard guard(link_->mutex);
    link_->panel = nullptr;
}

void BannerPanel::ShowPlaceholder() {
    setHtml(QString::fromLatin1(kPlaceholderPage));
    shown_.clear();
}

std::optional<QString> BannerPanel::AcceptPage(long status, const std::string& body,
                                               bool complete) {
    if (!complete || status != 200 || body.empty() || body.size() > kMaxPageBytes ||
        body.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder(QByteArrayView(body.data(), static_cast<qsizetype>(body.size())));
    if (decoder.hasError()) {
        return std::nullopt;
    }
    return text;
}

void BannerPanel::Navigate(const std::string& address) {
    const long generation = ++generation_;
    requested_ = address;
    const QUrl url(QString::fromStdString(address));
    const QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        platform::Trace("BannerPanel: no web address: %s\n", address.c_str());
        return;
    }
    workers_.Start("BannerPanel", [link = link_, &clock = clock_, generation, address] {
        PageSink sink;
        std::string error;
        const bool complete =
            partner::CurlFetcher(clock, kStallLimit).Fetch(address, 0, sink, error);
        if (!complete) {
            platform::Trace("BannerPanel: %s: %s\n", address.c_str(),
                            sink.tooLong ? "page too long" : error.c_str());
        }
        std::optional<QString> page = AcceptPage(sink.status, sink.body, complete);
        std::lock_guard guard(link->mutex);
        if (link->panel != nullptr) {
            BannerPanel* panel = link->panel;
            QMetaObject::invokeMethod(
                panel,
                [panel, generation, address, page = std::move(page)] {
                    panel->Arrived(generation, address, page);
                },
                Qt::QueuedConnection);
        }
    });
}

void BannerPanel::Arrived(long generation, std::string address, std::optional<QString> page) {
    ++answers_;
    const bool show = page && generation == generation_;
    if (show) {
        setHtml(*page);
        shown_ = std::move(address);
    }
    emit pageArrived(show);
}

QVariant BannerPanel::loadResource(int, const QUrl&) {
    // Pictures and style sheets of a page would be read from files or the network on the
    // UI thread: none are loaded.
    return {};
}

}  // namespace velto::ui
