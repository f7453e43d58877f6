// Printing pages of a laid-out report. The preview prints through the
// printer in use: the system's printer unless a test installed its own, which
// records what would be printed.
#pragma once

#include <QPageSize>
#include <QString>

#include <vector>

class QWidget;

namespace ecr::reports {
class Renderer;
}

namespace ecr::reports::forms {

class PagePrinter {
public:
    virtual ~PagePrinter() = default;
    // The paper the preview lays pages out on.
    virtual QPageSize pageSize() const = 0;
    // The system's print dialog (printer, paper, properties); false when
    // cancelled.
    virtual bool setUp(QWidget* parent) = 0;
    // Prints the pages (1-based) in one job; false with the reason when the
    // printer fails.
    virtual bool print(Renderer& renderer, const std::vector<int>& pages, QString* error) = 0;
};

// The printer in use.
PagePrinter& Printer();
// Installs a printer (not owned); nullptr restores the system's.
void SetPrinter(PagePrinter* printer);

} // namespace ecr::reports::forms
