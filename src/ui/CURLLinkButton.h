#pragma once

#include <QAbstractButton>
#include <QString>

#include "platform/UrlOpener.h"

namespace velto::ui {

// A button drawn as a link. A click opens (prefix + text) in the browser when that is a
// web or mail address; otherwise (a "Browse" link, say) it emits linkClicked with the
// control's id, which its parent handles. Either way the link counts as visited.
class CURLLinkButton : public QAbstractButton {
    Q_OBJECT
  public:
    CURLLinkButton(platform::UrlOpener& opener, int id, QWidget* parent = nullptr);

    void SetPrefix(QString prefix) { prefix_ = std::move(prefix); }
    int id() const { return id_; }
    bool visited() const { return visited_; }

    // Whether `address` is one the browser is asked to open.
    static bool IsAddress(const QString& address);

    QSize sizeHint() const override;

  signals:
    void linkClicked(int id);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    void Follow();

    platform::UrlOpener& opener_;
    int id_;
    QString prefix_;
    bool hover_ = false;
    bool visited_ = false;
};

}  // namespace velto::ui
