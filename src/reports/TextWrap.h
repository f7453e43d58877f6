// Measuring and breaking cell texts into lines, the same way for laying
// pages out and for painting them.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QString>

#include <array>
#include <string_view>
#include <vector>

namespace ecr::reports::detail {

// Text widths in the font's pixels. Kerning is off, so an ASCII text is as
// wide as its characters; other texts are measured whole and remembered.
class Measurer {
public:
    explicit Measurer(const QFont& font);
    const QFont& font() const { return font_; }
    double lineSpacing() const { return fm_.lineSpacing(); }
    double ascent() const { return fm_.ascent(); }
    double width(QStringView s);
    double asciiWidth(unsigned char c) const { return ascii_[c]; }
    // Whether an ASCII text on one line surely fits (no measuring needed).
    bool asciiFits(std::string_view s, double maxWidth) const;

private:
    double measured(QStringView s);

    QFont font_;
    QFontMetricsF fm_;
    std::array<double, 128> ascii_{};
    double maxAscii_ = 0;
    QHash<QString, double> cache_;
};

// Greedy line breaking at blanks and between CJK characters; a word wider
// than the line is broken between characters; a line feed always breaks.
std::vector<QString> wrap(const QString& text, double maxWidth, Measurer& m);

// The number of lines wrap() gives for a text of printable ASCII and blanks,
// counted without making strings.
int asciiLineCount(std::string_view text, double maxWidth, const Measurer& m);
// True when the text holds only printable ASCII and blanks.
bool isPlainAscii(std::string_view text);

} // namespace ecr::reports::detail
