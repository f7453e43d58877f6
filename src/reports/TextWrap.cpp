#include "TextWrap.h"

#include <algorithm>

namespace ecr::reports::detail {

namespace {

bool isCjk(char16_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFF00 && c <= 0xFFEF);
}

} // namespace

Measurer::Measurer(const QFont& font) : font_(font), fm_(font) {
    for (int c = 0; c < 128; ++c) {
        ascii_[static_cast<std::size_t>(c)] =
            c >= 32 && c < 127 ? fm_.horizontalAdvance(QChar(c)) : fm_.horizontalAdvance(QChar(' '));
        maxAscii_ = std::max(maxAscii_, ascii_[static_cast<std::size_t>(c)]);
    }
}

double Measurer::width(QStringView s) {
    double w = 0;
    for (QChar c : s) {
        if (c.unicode() >= 128) return measured(s);
        w += ascii_[c.unicode()];
    }
    return w;
}

bool Measurer::asciiFits(std::string_view s, double maxWidth) const {
    if (static_cast<double>(s.size()) * maxAscii_ <= maxWidth) return isPlainAscii(s);
    double w = 0;
    for (unsigned char c : s) {
        if (c >= 127 || c < 32) return false;
        w += ascii_[c];
    }
    return w <= maxWidth;
}

double Measurer::measured(QStringView s) {
    const QString key = s.toString();
    auto it = cache_.constFind(key);
    if (it != cache_.cend()) return *it;
    if (cache_.size() > 100000) cache_.clear();
    const double w = fm_.horizontalAdvance(key);
    cache_.insert(key, w);
    return w;
}

bool isPlainAscii(std::string_view text) {
    for (unsigned char c : text)
        if (c >= 127 || c < 32) return false;
    return true;
}

std::vector<QString> wrap(const QString& text, double maxWidth, Measurer& m) {
    std::vector<QString> lines;
    QString line;
    double lineWidth = 0;
    auto flush = [&] {
        while (line.endsWith(QLatin1Char(' '))) line.chop(1);
        lines.push_back(line);
        line.clear();
        lineWidth = 0;
    };
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        if (text[i] == QLatin1Char('\n')) {
            flush();
            ++i;
            continue;
        }
        // One token: a CJK character or a run up to a blank, with its blanks.
        qsizetype end = i;
        if (isCjk(text[i].unicode())) {
            ++end;
        } else {
            while (end < n && text[end] != QLatin1Char(' ') && text[end] != QLatin1Char('\n') && !isCjk(text[end].unicode()))
                ++end;
        }
        qsizetype wordEnd = end;
        while (end < n && text[end] == QLatin1Char(' ')) ++end;
        const QStringView word = QStringView(text).mid(i, wordEnd - i);
        const QStringView blanks = QStringView(text).mid(wordEnd, end - wordEnd);
        const double ww = m.width(word);
        if (!line.isEmpty() && lineWidth + ww > maxWidth) flush();
        if (line.isEmpty() && ww > maxWidth) {
            qsizetype k = 0;
            while (k < word.size()) {
                const qsizetype len = word[k].isHighSurrogate() && k + 1 < word.size() ? 2 : 1;
                const QStringView ch = word.mid(k, len);
                const double cw = m.width(ch);
                if (!line.isEmpty() && lineWidth + cw > maxWidth) flush();
                line += ch;
                lineWidth += cw;
                k += len;
            }
        } else {
            line += word;
            lineWidth += ww;
        }
        line += blanks;
        lineWidth += m.width(blanks);
        i = end;
    }
    if (!line.isEmpty() || lines.empty()) flush();
    return lines;
}

int asciiLineCount(std::string_view text, double maxWidth, const Measurer& m) {
    // wrap() step by step, with the line kept as its length and width.
    int lines = 0;
    std::size_t lineLength = 0;
    double lineWidth = 0;
    auto flush = [&] {
        ++lines;
        lineLength = 0;
        lineWidth = 0;
    };
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        std::size_t end = i;
        while (end < n && text[end] != ' ') ++end;
        const std::size_t wordEnd = end;
        while (end < n && text[end] == ' ') ++end;
        double ww = 0;
        for (std::size_t k = i; k < wordEnd; ++k) ww += m.asciiWidth(static_cast<unsigned char>(text[k]));
        if (lineLength > 0 && lineWidth + ww > maxWidth) flush();
        if (lineLength == 0 && ww > maxWidth) {
            for (std::size_t k = i; k < wordEnd; ++k) {
                const double cw = m.asciiWidth(static_cast<unsigned char>(text[k]));
                if (lineLength > 0 && lineWidth + cw > maxWidth) flush();
                ++lineLength;
                lineWidth += cw;
            }
        } else {
            lineLength += wordEnd - i;
            lineWidth += ww;
        }
        double blanks = 0;
        for (std::size_t k = wordEnd; k < end; ++k) blanks += m.asciiWidth(' ');
        lineWidth += blanks;
        lineLength += end - wordEnd;
        i = end;
    }
    if (lineLength > 0 || lines == 0) flush();
    return lines;
}

} // namespace ecr::reports::detail
