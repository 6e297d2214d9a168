#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <vector>

namespace pm32::platform::gdi {

// The lines of a text: split at line feeds, a carriage return next to a line
// feed belongs to no line, and lines after the last that holds text are
// dropped (blank lines before it stay).
std::vector<QString> SplitLines(const QString& text);

// Greedy word wrap: words separated by spaces join a line while its extent
// stays within width; a word wider than that stands alone on its line.
std::vector<QString> WrapLines(const std::vector<QString>& lines, const QFontMetrics& metrics,
                               int width);

// How a text is measured.
struct MeasureRules {
    bool dropSpaceAfterLineFeed = false;  // left-justified text
    bool wrap = false;                    // word wrap to wrapWidth; width of the widest word
    int wrapWidth = 0;
    bool externalLeading = false;
};

struct TextMeasure {
    int width = 0;
    int height = 0;
    int lineCount = 0;
    int longestLineLength = 0;  // characters of the longest line, unwrapped
};

TextMeasure MeasureText(const QString& text, const QFont& font, const MeasureRules& rules);

// Height of one line of text in the font.
int LineHeight(const QFontMetrics& metrics, bool externalLeading);

}  // namespace pm32::platform::gdi
