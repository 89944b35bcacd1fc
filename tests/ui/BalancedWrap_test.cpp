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

}  // namespace
}  // namespace velto::ui::test
