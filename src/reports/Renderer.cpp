#include "Renderer.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPagedPaintDevice>
#include <QPdfWriter>

#include <algorithm>
#include <array>
#include <cmath>

namespace ecr::reports {

namespace {

// Sizes in units (1/720 inch: a point is ten units).
constexpr double kMargin = kUnitsPerInch;  // left, right, top
constexpr double kBottomMargin = 540;      // the footer sits in it
constexpr double kFooterGap = 160;
constexpr double kPadH = 30, kPadV = 20;
constexpr double kRule = 5;                // half a point

bool isCjk(char16_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFF00 && c <= 0xFFEF);
}

// Text widths in units. Kerning is off, so an ASCII text is as wide as its
// characters; other texts are measured whole and remembered.
class Measurer {
public:
    explicit Measurer(const QFont& font) : font_(font), fm_(font) {
        for (int c = 0; c < 128; ++c) {
            ascii_[static_cast<std::size_t>(c)] = c >= 32 && c < 127 ? fm_.horizontalAdvance(QChar(c)) : fm_.horizontalAdvance(QChar(' '));
            maxAscii_ = std::max(maxAscii_, ascii_[static_cast<std::size_t>(c)]);
        }
    }
    const QFont& font() const { return font_; }
    double lineSpacing() const { return fm_.lineSpacing(); }
    double ascent() const { return fm_.ascent(); }

    double width(QStringView s) {
        double w = 0;
        for (QChar c : s) {
            if (c.unicode() >= 128) return measured(s);
            w += ascii_[c.unicode()];
        }
        return w;
    }
    // Whether an ASCII text on one line surely fits (no measuring needed).
    bool asciiFits(std::string_view s, double maxWidth) const {
        if (static_cast<double>(s.size()) * maxAscii_ <= maxWidth) {
            for (unsigned char c : s)
                if (c >= 128 || c == '\n') return false;
            return true;
        }
        double w = 0;
        for (unsigned char c : s) {
            if (c >= 128 || c == '\n') return false;
            w += ascii_[c];
        }
        return w <= maxWidth;
    }

private:
    double measured(QStringView s) {
        const QString key = s.toString();
        auto it = cache_.constFind(key);
        if (it != cache_.cend()) return *it;
        if (cache_.size() > 100000) cache_.clear();
        const double w = fm_.horizontalAdvance(key);
        cache_.insert(key, w);
        return w;
    }

    QFont font_;
    QFontMetricsF fm_;
    std::array<double, 128> ascii_{};
    double maxAscii_ = 0;
    QHash<QString, double> cache_;
};

// Greedy line breaking at blanks and between CJK characters; a word wider
// than the line is broken between characters.
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

QString qText(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QFont makeFont(const QString& family, int units, bool bold) {
    QFont f(family);
    f.setPixelSize(units);
    f.setBold(bold);
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

} // namespace

QString ReportFontFamily(int langCode) {
    switch (langCode) {
    case 1:
    case 2: return QStringLiteral("WenQuanYi Micro Hei");
    case 7: return QStringLiteral("Garuda");
    default: return QStringLiteral("DejaVu Sans");
    }
}

struct Renderer::Fonts {
    Measurer title, text, textBold, cell, cellBold, footer;
    explicit Fonts(const QString& family)
        : title(makeFont(family, 210, true)), text(makeFont(family, 110, false)), textBold(makeFont(family, 110, true)),
          cell(makeFont(family, 90, false)), cellBold(makeFont(family, 90, true)), footer(makeFont(family, 90, false)) {}
};

Renderer::Renderer(const Document& doc, const QPageSize& pageSize, QDate printDate, const QString& fontFamily)
    : doc_(doc), printDate_(printDate), fonts_(std::make_unique<Fonts>(fontFamily)) {
    double total = 0;
    for (const Column& c : doc.columns) total += c.twips / 2.0;
    QSizeF paper = pageSize.size(QPageSize::Point) * 10.0;
    if (paper.width() > paper.height()) paper.transpose();
    // A table wider than a portrait page turns the page.
    landscape_ = doc.landscape || total > paper.width() - 2 * kMargin;
    if (landscape_) paper.transpose();
    page_ = paper;
    left_ = kMargin;
    right_ = page_.width() - kMargin;
    top_ = kMargin;
    bottom_ = page_.height() - kBottomMargin;

    const double avail = right_ - left_;
    const double scale = total > avail ? avail / total : 1.0;
    for (const Column& c : doc.columns) colWidths_.push_back(c.twips / 2.0 * scale);
    tableLeft_ = left_ + (avail - std::min(total, avail)) / 2;

    rowsStart_ = doc.subtitle.empty() ? 3 : 4; // title, blank, [subtitle], blank
    postStart_ = rowsStart_ + 1 + static_cast<int>(doc.rowCount());
    if (doc.chart && doc.rowCount() > 0) {
        chartStart_ = postStart_ + (doc.totals.empty() ? 0 : 1 + static_cast<int>(doc.totals.size())) + 1;
        for (std::size_t r = 0; r < doc.rowCount(); ++r) {
            const double v = doc.number(r, static_cast<std::size_t>(doc.chart->valueColumn));
            barMin_ = std::min(barMin_, v);
            barMax_ = std::max(barMax_, v);
        }
    }
    std::vector<QString> header;
    for (const Column& c : doc.columns) header.push_back(QString::fromStdString(c.caption));
    double lines = 1;
    for (std::size_t c = 0; c < header.size(); ++c)
        lines = std::max(lines, double(wrap(header[c], colWidths_[c] - 2 * kPadH, fonts_->cellBold).size()));
    headerHeight_ = lines * fonts_->cellBold.lineSpacing() + 2 * kPadV;
}

Renderer::~Renderer() = default;

int Renderer::itemCount() const {
    int n = postStart_;
    if (!doc_.totals.empty()) n += 1 + static_cast<int>(doc_.totals.size());
    if (chartStart_ >= 0) n += 2 + static_cast<int>(doc_.rowCount()); // blank, caption, bars
    return n;
}

Renderer::Item Renderer::item(int i) const {
    if (i < rowsStart_) {
        if (i == 0) return {ItemKind::Title, 0};
        if (i == 2 && !doc_.subtitle.empty()) return {ItemKind::Subtitle, 0};
        return {ItemKind::Blank, 0};
    }
    if (i == rowsStart_) return {ItemKind::Header, 0};
    if (i < postStart_) return {ItemKind::Row, i - rowsStart_ - 1};
    int k = i - postStart_;
    if (!doc_.totals.empty()) {
        if (k == 0) return {ItemKind::Blank, 0};
        if (k <= static_cast<int>(doc_.totals.size())) return {ItemKind::Total, k - 1};
        k -= 1 + static_cast<int>(doc_.totals.size());
    }
    if (k == 0) return {ItemKind::Blank, 0};
    if (k == 1) return {ItemKind::ChartCaption, 0};
    return {ItemKind::Bar, k - 2};
}

double Renderer::rowHeight(std::size_t row) {
    Measurer& m = fonts_->cell;
    double lines = 1;
    for (std::size_t c = 0; c < colWidths_.size(); ++c) {
        const std::string_view s = doc_.cell(row, c);
        const double inner = colWidths_[c] - 2 * kPadH;
        if (s.empty() || m.asciiFits(s, inner)) continue;
        lines = std::max(lines, double(wrap(qText(s), inner, m).size()));
    }
    return std::min(lines * m.lineSpacing() + 2 * kPadV, bottom_ - top_ - headerHeight_);
}

double Renderer::itemHeight(int i) {
    const Item it = item(i);
    switch (it.kind) {
    case ItemKind::Title:
        return double(wrap(QString::fromStdString(doc_.title), right_ - left_, fonts_->title).size()) *
               fonts_->title.lineSpacing();
    case ItemKind::Subtitle:
        return double(wrap(QString::fromStdString(doc_.subtitle), right_ - left_, fonts_->text).size()) *
               fonts_->text.lineSpacing();
    case ItemKind::Blank:
    case ItemKind::Total:
    case ItemKind::ChartCaption: return fonts_->text.lineSpacing();
    case ItemKind::Header: return headerHeight_;
    case ItemKind::Row: return rowHeight(static_cast<std::size_t>(it.index));
    case ItemKind::Bar: return fonts_->cell.lineSpacing() + 2 * kPadV;
    }
    return 0;
}

bool Renderer::layOutNextPage() {
    if (complete_) return false;
    const int start = starts_.empty() ? 0 : ends_.back();
    const int count = itemCount();
    double y = top_;
    if (start > rowsStart_ && start < postStart_) y += headerHeight_;
    int i = start;
    while (i < count) {
        const double h = itemHeight(i);
        double need = h;
        const ItemKind kind = item(i).kind;
        // A header or chart caption never ends a page alone.
        if ((kind == ItemKind::Header || kind == ItemKind::ChartCaption) && i + 1 < count) need += itemHeight(i + 1);
        if (i > start && y + need > bottom_) break;
        y += h;
        ++i;
    }
    starts_.push_back(start);
    ends_.push_back(i);
    if (i >= count) complete_ = true;
    return true;
}

int Renderer::pageCount() {
    while (layOutNextPage()) {
    }
    return std::max(1, pagesLaidOut());
}

bool Renderer::hasPage(int index) {
    while (pagesLaidOut() <= index && layOutNextPage()) {
    }
    return index >= 0 && index < pagesLaidOut();
}

std::pair<int, int> Renderer::rowsOnPage(int index) {
    if (!hasPage(index)) return {0, 0};
    auto row = [this](int flow) { return std::clamp(flow - rowsStart_ - 1, 0, static_cast<int>(doc_.rowCount())); };
    return {row(starts_[static_cast<std::size_t>(index)]), row(ends_[static_cast<std::size_t>(index)])};
}

void Renderer::paintPageAt(QPainter& painter, int index, double dpi) {
    painter.save();
    painter.scale(dpi / kUnitsPerInch, dpi / kUnitsPerInch);
    paintPage(painter, index);
    painter.restore();
}

void Renderer::paintPage(QPainter& p, int index) {
    if (!hasPage(index)) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const int start = starts_[static_cast<std::size_t>(index)];
    const int end = ends_[static_cast<std::size_t>(index)];
    double y = top_;
    if (start > rowsStart_ && start < postStart_) {
        paintItem(p, {ItemKind::Header, 0}, y, headerHeight_);
        y += headerHeight_;
    }
    for (int i = start; i < end; ++i) {
        const double h = itemHeight(i);
        paintItem(p, item(i), y, h);
        y += h;
    }
    if (doc_.footer) paintFooter(p, index);
    p.restore();
}

void Renderer::paintItem(QPainter& p, const Item& it, double y, double height) {
    auto centredLines = [&](const std::string& text, Measurer& m, bool left) {
        p.setFont(m.font());
        p.setPen(Qt::black);
        double ly = y;
        for (const QString& line : wrap(QString::fromStdString(text), right_ - left_, m)) {
            const double x = left ? left_ : left_ + (right_ - left_ - m.width(line)) / 2;
            p.drawText(QPointF(x, ly + m.ascent()), line);
            ly += m.lineSpacing();
        }
    };
    switch (it.kind) {
    case ItemKind::Title: centredLines(doc_.title, fonts_->title, false); break;
    case ItemKind::Subtitle: centredLines(doc_.subtitle, fonts_->text, doc_.subtitleAlign == LineAlign::Left); break;
    case ItemKind::Blank: break;
    case ItemKind::Header: {
        std::vector<QString> cells;
        for (const Column& c : doc_.columns) cells.push_back(QString::fromStdString(c.caption));
        paintRow(p, cells, y, height, true);
        break;
    }
    case ItemKind::Row: {
        std::vector<QString> cells;
        for (std::size_t c = 0; c < doc_.columns.size(); ++c)
            cells.push_back(qText(doc_.cell(static_cast<std::size_t>(it.index), c)));
        paintRow(p, cells, y, height, false);
        break;
    }
    case ItemKind::Total: {
        const Total& t = doc_.totals[static_cast<std::size_t>(it.index)];
        Measurer& m = fonts_->text;
        const QString line = QString::fromStdString(t.caption + ": " + t.text);
        double tableRight = tableLeft_;
        for (double w : colWidths_) tableRight += w;
        p.setFont(m.font());
        p.setPen(Qt::black);
        p.drawText(QPointF(std::max(left_, tableRight - m.width(line)), y + m.ascent()), line);
        break;
    }
    case ItemKind::ChartCaption: {
        Measurer& m = fonts_->textBold;
        p.setFont(m.font());
        p.setPen(Qt::black);
        p.drawText(QPointF(left_, y + m.ascent()), QString::fromStdString(doc_.chart->caption));
        break;
    }
    case ItemKind::Bar: paintBar(p, it.index, y, height); break;
    }
}

void Renderer::paintRow(QPainter& p, const std::vector<QString>& cells, double y, double height, bool header) {
    Measurer& m = header ? fonts_->cellBold : fonts_->cell;
    double x = tableLeft_;
    double width = 0;
    for (double w : colWidths_) width += w;
    if (header) p.fillRect(QRectF(x, y, width, height), QColor(228, 228, 228));
    p.setPen(QPen(Qt::black, kRule));
    p.drawLine(QPointF(x, y), QPointF(x + width, y));
    p.drawLine(QPointF(x, y + height), QPointF(x + width, y + height));
    p.setFont(m.font());
    for (std::size_t c = 0; c < cells.size(); ++c) {
        const double w = colWidths_[c];
        p.drawLine(QPointF(x, y), QPointF(x, y + height));
        const double inner = w - 2 * kPadH;
        const bool right = !header && doc_.columns[c].kind == ColumnKind::Number;
        double ly = y + kPadV;
        for (const QString& line : wrap(cells[c], inner, m)) {
            if (ly + m.lineSpacing() > y + height + 1) break;
            const double lx = right ? x + w - kPadH - m.width(line)
                              : header ? x + kPadH + std::max(0.0, (inner - m.width(line)) / 2)
                                       : x + kPadH;
            p.drawText(QPointF(lx, ly + m.ascent()), line);
            ly += m.lineSpacing();
        }
        x += w;
    }
    p.drawLine(QPointF(x, y), QPointF(x, y + height));
}

void Renderer::paintBar(QPainter& p, int bar, double y, double height) {
    const Chart& chart = *doc_.chart;
    const std::size_t r = static_cast<std::size_t>(bar);
    Measurer& m = fonts_->cell;
    const double width = right_ - left_;
    const double labelWidth = std::min(width * 0.3, 1600.0);
    const double valueWidth = 900;
    const double barLeft = left_ + labelWidth + kPadH;
    const double barWidth = width - labelWidth - valueWidth - 2 * kPadH;
    const double baseline = y + kPadV + m.ascent();

    p.setFont(m.font());
    p.setPen(Qt::black);
    const QString label = QFontMetricsF(m.font()).elidedText(
        qText(doc_.cell(r, static_cast<std::size_t>(chart.labelColumn))), Qt::ElideRight,
        labelWidth - kPadH);
    p.drawText(QPointF(left_, baseline), label);

    const double range = barMax_ - barMin_;
    const double value = doc_.number(r, static_cast<std::size_t>(chart.valueColumn));
    const double zero = range > 0 ? barLeft + (-barMin_) / range * barWidth : barLeft;
    const double end = range > 0 ? barLeft + (value - barMin_) / range * barWidth : barLeft;
    const QRectF barRect(std::min(zero, end), y + height * 0.2, std::fabs(end - zero), height * 0.6);
    p.fillRect(barRect, QColor(62, 104, 160));
    p.setPen(QPen(Qt::black, kRule));
    p.drawLine(QPointF(zero, y), QPointF(zero, y + height));
    p.drawText(QPointF(barLeft + barWidth + kPadH, baseline), qText(doc_.cell(r, static_cast<std::size_t>(chart.valueColumn))));
}

void Renderer::paintFooter(QPainter& p, int index) {
    Measurer& m = fonts_->footer;
    p.setFont(m.font());
    p.setPen(Qt::black);
    const double baseline = bottom_ + kFooterGap + m.ascent();
    p.drawText(QPointF(left_, baseline), printDate_.toString(QStringLiteral("yyyy-MM-dd")));
    const QString number = QStringLiteral("- %1 -").arg(index + 1);
    p.drawText(QPointF(right_ - m.width(number), baseline), number);
}

bool WritePdf(const Document& doc, const QString& path, QDate printDate, const QString& fontFamily, QString* error) {
    QPdfWriter writer(path);
    const QPageSize a4(QPageSize::A4);
    Renderer renderer(doc, a4, printDate, fontFamily);
    writer.setPageSize(a4);
    writer.setPageOrientation(renderer.landscape() ? QPageLayout::Landscape : QPageLayout::Portrait);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(600);
    writer.setTitle(QString::fromStdString(doc.title));
    writer.setCreator(QStringLiteral("ECR Manager"));
    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error) *error = QStringLiteral("cannot open the file for writing");
        return false;
    }
    for (int i = 0; renderer.hasPage(i); ++i) {
        if (i > 0) writer.newPage();
        renderer.paintPageAt(painter, i, writer.resolution());
    }
    if (!painter.end()) {
        if (error) *error = QStringLiteral("cannot finish the file");
        return false;
    }
    return true;
}

void PaintPages(Renderer& renderer, QPainter& painter, QPagedPaintDevice& device, const std::vector<int>& pages) {
    bool first = true;
    for (int page : pages) {
        if (!renderer.hasPage(page - 1)) continue;
        if (!first) device.newPage();
        first = false;
        renderer.paintPageAt(painter, page - 1, device.logicalDpiX());
    }
}

} // namespace ecr::reports
