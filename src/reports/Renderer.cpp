#include "Renderer.h"

#include "TextWrap.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPagedPaintDevice>
#include <QPdfWriter>

#include <algorithm>
#include <array>
#include <cmath>

namespace ecr::reports {

using detail::Measurer;
using detail::wrap;

namespace {

// Sizes in units (1/720 inch: a point is ten units).
constexpr double kMargin = kUnitsPerInch;  // left, right, top
constexpr double kBottomMargin = 540;      // the footer sits in it
constexpr double kFooterGap = 160;
constexpr double kPadH = 30, kPadV = 20;
constexpr double kRule = 5;                // half a point

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
        const int n = detail::isPlainAscii(s) ? detail::asciiLineCount(s, inner, m) : static_cast<int>(wrap(qText(s), inner, m).size());
        lines = std::max(lines, double(n));
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
