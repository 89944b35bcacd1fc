#pragma once

#include <QFontMetrics>
#include <QString>

namespace velto::ui {

// The narrowest width, at most `maxWidth`, at which `text` wraps into no more lines than
// at `maxWidth`: the lines come out even, instead of a full line over a last line of a
// word or two (Japanese and Chinese wrap between any two characters).
int BalancedWrapWidth(const QFontMetrics& metrics, const QString& text, int maxWidth);

// `text` as it is when it wraps into at most `lines` lines of `width` pixels, else cut short
// with "…" so that it does (a word wider than the line, which a label does not break,
// counts as not fitting).
QString FitLines(const QFontMetrics& metrics, const QString& text, int width, int lines);

}  // namespace velto::ui
