#include "platform/gdi/text_layout.h"

#include <QStringList>
#include <algorithm>

namespace pm32::platform::gdi {
namespace {

QString withoutCarriageReturns(QString line) {
    while (line.startsWith(QLatin1Char('\r'))) line.remove(0, 1);
    while (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    return line;
}

}  // namespace

std::vector<QString> SplitLines(const QString& text) {
    std::vector<QString> lines;
    for (const QString& part : text.split(QLatin1Char('\n')))
        lines.push_back(withoutCarriageReturns(part));
    while (!lines.empty() && lines.back().isEmpty()) lines.pop_back();
    return lines;
}

std::vector<QString> WrapLines(const std::vector<QString>& lines, const QFontMetrics& metrics,
                               int width) {
    std::vector<QString> wrapped;
    for (const QString& line : lines) {
        QStringList words = line.split(QLatin1Char(' '));
        QString current = words.front();
        for (qsizetype i = 1; i < words.size(); ++i) {
            QString longer = current + QLatin1Char(' ') + words[i];
            if (metrics.horizontalAdvance(longer) <= width) {
                current = longer;
            } else {
                wrapped.push_back(current);
                current = words[i];
            }
        }
        wrapped.push_back(current);
    }
    return wrapped;
}

int LineHeight(const QFontMetrics& metrics, bool externalLeading) {
    return metrics.height() + (externalLeading ? std::max(0, metrics.leading()) : 0);
}

TextMeasure MeasureText(const QString& text, const QFont& font, const MeasureRules& rules) {
    TextMeasure measure;
    std::vector<QString> lines = SplitLines(text);
    if (lines.empty()) return measure;
    if (rules.dropSpaceAfterLineFeed)
        for (std::size_t i = 1; i < lines.size(); ++i)
            if (lines[i].startsWith(QLatin1Char(' '))) lines[i].remove(0, 1);
    QFontMetrics metrics(font);
    for (const QString& line : lines) {
        measure.longestLineLength =
            std::max(measure.longestLineLength, static_cast<int>(line.size()));
        if (!rules.wrap) {
            measure.width = std::max(measure.width, metrics.horizontalAdvance(line));
            continue;
        }
        for (const QString& word : line.split(QLatin1Char(' ')))
            measure.width = std::max(measure.width, metrics.horizontalAdvance(word));
    }
    measure.lineCount = static_cast<int>(
        rules.wrap ? WrapLines(lines, metrics, rules.wrapWidth).size() : lines.size());
    measure.height = measure.lineCount * LineHeight(metrics, rules.externalLeading);
    return measure;
}

}  // namespace pm32::platform::gdi
