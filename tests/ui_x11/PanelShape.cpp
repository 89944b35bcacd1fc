// Checks the answering panel's shape on a real X server (xvfb-run): a widget grab ignores
// the window's mask, so the screen is grabbed. Exit code 0 when the corners show the
// desktop and the body shows the panel.
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "ui/AnsweringPanelWindow.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::fprintf(stderr, "panel-shape: needs an X server (xvfb-run), not %s\n",
                     qPrintable(QGuiApplication::platformName()));
        return 2;
    }
    velto::ui::AnsweringPanelWindow panel(QStringLiteral("Bob"), [](int) {});
    panel.show();
    int result = 1;
    QTimer::singleShot(500, [&] {
        const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        const QPoint at = panel.geometry().topLeft();
        const QRgb desktop = screen.pixel(0, 0);
        const auto shows = [&](int x, int y) { return screen.pixel(at + QPoint(x, y)); };
        const int w = panel.width();
        const bool cornersClear = shows(1, 1) == desktop && shows(w - 2, 1) == desktop &&
                                  shows(1, 50) == desktop && shows(w - 2, 50) == desktop;
        const bool bodyDrawn = shows(30, 26) != desktop && shows(w - 30, 26) != desktop &&
                               shows(26, 1) != desktop && shows(2, 26) != desktop;
        const bool centred = std::abs(panel.geometry().center().x() - screen.width() / 2) <= 1;
        std::printf("panel-shape: corners clear %d, body drawn %d, centred %d\n", cornersClear,
                    bodyDrawn, centred);
        result = cornersClear && bodyDrawn && centred ? 0 : 1;
        app.quit();
    });
    app.exec();
    return result;
}
