#include "PagePrinter.h"

#include "reports/Renderer.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>


namespace ecr::reports::forms {

namespace {

class SystemPrinter : public PagePrinter {
public:
    SystemPrinter() : printer_(QPrinter::HighResolution) {}

    QPageSize pageSize() const override { return printer_.pageLayout().pageSize(); }

    bool setUp(QWidget* parent) override {
        QPrintDialog dialog(&printer_, parent);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        return dialog.exec() == QDialog::Accepted;
    }

    bool print(Renderer& renderer, const std::vector<int>& pages, QString* error) override {
        printer_.setFullPage(true); // the report keeps its own margins
        printer_.setPageOrientation(renderer.landscape() ? QPageLayout::Landscape : QPageLayout::Portrait);
        printer_.setDocName(QString::fromStdString(renderer.document().title));
        QPainter painter;
        if (!painter.begin(&printer_)) {
            if (error) *error = printer_.printerName();
            return false;
        }
        PaintPages(renderer, painter, printer_, pages);
        return painter.end();
    }

private:
    QPrinter printer_;
};

PagePrinter* installed = nullptr;

} // namespace

PagePrinter& Printer() {
    if (installed) return *installed;
    // Made on first use and kept to the end: a printer must not outlive the
    // application object in a static destructor.
    static SystemPrinter* system = new SystemPrinter;
    return *system;
}

void SetPrinter(PagePrinter* printer) { installed = printer; }

} // namespace ecr::reports::forms
