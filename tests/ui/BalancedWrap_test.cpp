#include <QApplication>
#include <QTextLayout>
#include <vector>

#include <gtest/gtest.h>

#include "i18n/LanguageTable.h"
#include "ui/BalancedWrap.h"
#include "ui/Texts.h"

namespace velto::ui::test {
namespace {

int WrappedHeight(const QFontMetrics& metrics, const QString& text, int width) {
    return metrics
        .boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap | Qt::AlignCenter, text)
        .height();
}

std::vector<qreal> LineWidths(const QString& text, const QFont& font, int width) {
    std::vector<qreal> widths;
    QTextLayout layout(text, font);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        widths.push_back(line.naturalTextWidth());
    }
    layout.endLayout();
    return widths;
}

// The Japanese permission text wraps after all but two characters at the main window's
// width; at the balanced width its two lines are alike, and no narrower width keeps two.
TEST(BalancedWrap, EvensOutTheLinesWithoutAddingOne) {
    const QFont font = QApplication::font();
    const QFontMetrics metrics(font);
    for (const int32_t language : {7, 0, 2, 3}) {
        const QString text = Text(i18n::TXT_GIVE_PERMISSION, language);
        const int widest = 302;
        const int width = BalancedWrapWidth(metrics, text, widest);
        const int height = WrappedHeight(metrics, text, widest);
        EXPECT_LE(width, widest);
        EXPECT_EQ(WrappedHeight(metrics, text, width), height) << language;
        EXPECT_GT(WrappedHeight(metrics, text, width - 1), height) << language;
        const auto lines = LineWidths(text, font, width);
        if (lines.size() > 1) {
            EXPECT_GE(lines.back(), lines.front() / 3) << text.toStdString();
        }
    }
    // One line keeps its own width.
    const int oneLine = BalancedWrapWidth(metrics, QStringLiteral("Velto"), 302);
    EXPECT_LE(oneLine, metrics.horizontalAdvance(QStringLiteral("Velto")) + 1);
    EXPECT_EQ(WrappedHeight(metrics, QStringLiteral("Velto"), oneLine), metrics.height());
}

// A text too long for its lines is cut with "…" just where it fits, measured by the laid-out
// text itself; a word wider than the line (which a label does not break) too.
TEST(BalancedWrap, CutsATextToTheLinesItMayTake) {
    const QFontMetrics metrics(QApplication::font());
    const QString fits = QStringLiteral("Registered at sip.example.org over TLS.");
    EXPECT_EQ(FitLines(metrics, fits, 400, 1), fits);
    QString reason = QStringLiteral("the server's certificate was refused ");
    reason = reason.repeated(20);
    for (const QString& text : {reason, QString(500, QLatin1Char('x'))}) {
        const QString cut = FitLines(metrics, text, 300, 3);
        ASSERT_TRUE(cut.endsWith(QChar(0x2026)));
        const QRect used = metrics.boundingRect(QRect(0, 0, 300, 10000), Qt::TextWordWrap, cut);
        EXPECT_LE(used.height(), metrics.lineSpacing() * 3);
        EXPECT_LE(used.width(), 300);
        // One character more would not fit.
        const QString longer = text.left(cut.size()) + QChar(0x2026);
        const QRect over = metrics.boundingRect(QRect(0, 0, 300, 10000), Qt::TextWordWrap, longer);
        EXPECT_TRUE(over.height() > metrics.lineSpacing() * 3 || over.width() > 300);
    }
}

}  // namespace
}  // namespace velto::ui::test
