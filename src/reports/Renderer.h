// The one painter of report documents, for the preview, the printer and PDF.
//
// A page is laid out in units of 1/720 inch: one inch of margin at the left,
// the right and the top, the footer (print date left, "- n -" right) below
// the body. The table's header row opens every page the table runs on; cells
// wrap within their column. Pages are laid out only as far as they are asked
// for, so the first page of a long report shows at once.
#pragma once

#include "Document.h"

#include <QDate>
#include <QFont>
#include <QPageSize>
#include <QSizeF>
#include <QString>

#include <memory>
#include <utility>
#include <vector>

class QPainter;
class QPagedPaintDevice;

namespace ecr::reports {

inline constexpr double kUnitsPerInch = 720;

// The font family reports are printed in for an interface language (1..7).
QString ReportFontFamily(int langCode);

class Renderer {
public:
    // The document must outlive the renderer.
    Renderer(const Document& doc, const QPageSize& pageSize, QDate printDate, const QString& fontFamily);
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    const Document& document() const { return doc_; }
    // Page size in units. Pages turn to landscape when the document asks or
    // its table is wider than a portrait page.
    QSizeF pageSize() const { return page_; }
    bool landscape() const { return landscape_; }
    // Lays out every page; the number of pages (at least 1).
    int pageCount();
    // Pages laid out so far.
    int pagesLaidOut() const { return static_cast<int>(starts_.size()); }
    // Lays out up to page index (0-based); false when the document ends before it.
    bool hasPage(int index);

    // Table rows [first, last) on the page; equal when it holds none.
    std::pair<int, int> rowsOnPage(int index);

    // Paints the page (0-based) with the painter's coordinates in units.
    void paintPage(QPainter& painter, int index);
    // Paints the page scaled to a device of the given resolution (dots per inch).
    void paintPageAt(QPainter& painter, int index, double dpi);

private:
    struct Fonts;
    enum class ItemKind { Title, Blank, Subtitle, Header, Row, Total, ChartCaption, Bar };
    struct Item {
        ItemKind kind;
        int index; // row, total or bar number
    };
    Item item(int flowIndex) const;
    int itemCount() const;
    double itemHeight(int flowIndex);
    double rowHeight(std::size_t row);
    bool layOutNextPage();
    void paintItem(QPainter& p, const Item& it, double y, double height);
    void paintRow(QPainter& p, const std::vector<QString>& cells, double y, double height, bool header);
    void paintBar(QPainter& p, int bar, double y, double height);
    void paintFooter(QPainter& p, int index);

    const Document& doc_;
    QDate printDate_;
    QSizeF page_;
    bool landscape_ = false;
    double left_, right_, top_, bottom_; // body edges in units
    double tableLeft_ = 0;
    std::vector<double> colWidths_;
    std::unique_ptr<Fonts> fonts_;
    int rowsStart_ = 0;   // flow index of the header
    int postStart_ = 0;   // flow index after the last row
    int chartStart_ = -1; // flow index of the chart caption
    double headerHeight_ = 0;
    double barMin_ = 0, barMax_ = 0;
    std::vector<int> starts_; // first flow index of each page laid out
    std::vector<int> ends_;   // flow index after its last item
    bool complete_ = false;
};

// Writes the document as a PDF file on A4 paper. False with a reason when
// the file cannot be written.
bool WritePdf(const Document& doc, const QString& path, QDate printDate, const QString& fontFamily,
              QString* error = nullptr);

// Prints the chosen pages (1-based) on a paged device that a painter is
// already open on; new pages are started between them.
void PaintPages(Renderer& renderer, QPainter& painter, QPagedPaintDevice& device, const std::vector<int>& pages);

} // namespace ecr::reports
