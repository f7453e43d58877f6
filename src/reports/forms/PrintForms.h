// The preview of a report (frmPrint) and its print options (frmPrintSet).
#pragma once

#include "reports/Document.h"
#include "reports/PrintRange.h"
#include "reports/Renderer.h"

#include <QDialog>
#include <QWidget>

#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QScrollArea;
class QToolBar;

namespace ecr::reports::forms {

// One page of the document, painted when shown, at the preview's zoom.
class PageView : public QWidget {
    Q_OBJECT
public:
    explicit PageView(QWidget* parent);
    void show(Renderer* renderer, int page, double zoom);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Renderer* renderer_ = nullptr;
    int page_ = 0;
    double zoom_ = 1;
};

class PrintForm : public QDialog {
    Q_OBJECT
public:
    enum class Zoom { Percent, FitWidth, WholePage };

    PrintForm(std::shared_ptr<const Document> doc, QWidget* parent);
    ~PrintForm() override;

    const Document& document() const { return *doc_; }
    int page() const { return page_; } // 1-based
    int pageCount() const { return pageCount_; }
    double zoom() const { return zoom_; } // 1 = actual size
    QAction* button(const char* key) const;

    // Toolbar1 by key: "first", "prev", "next", "last", "print", "exit".
    void Toolbar1_ButtonClick(const QString& key);
    void setPage(int page);
    void setZoomPercent(int percent);

protected:
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void layOut();
    void refresh();
    void printPages();
    double fittedZoom(Zoom mode) const;

    std::shared_ptr<const Document> doc_;
    std::unique_ptr<Renderer> renderer_;
    QPageSize laidOutOn_;
    int page_ = 1;
    int pageCount_ = 1;
    double zoom_ = 1;
    Zoom zoomMode_ = Zoom::Percent;

    QToolBar* toolbar_;
    QComboBox* zoomBox_;
    QLabel* pageLabel_;
    QScrollArea* scroll_;
    PageView* view_;
};

class PrintSetForm : public QDialog {
    Q_OBJECT
public:
    // pageCount fills the last page of the range.
    PrintSetForm(int pageCount, QWidget* parent);

    // Read after the dialog closes.
    bool cancelled() const { return cancelled_; }
    PrintMode mode() const { return mode_; }
    int fromPage() const { return from_; }
    int toPage() const { return to_; }
    // True once the printer was set up (paper may have changed).
    bool printerChanged() const { return printerChanged_; }

    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdPrinterSetup_Click();

protected:
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    bool cancelled_ = false;
    bool printerChanged_ = false;
    PrintMode mode_ = PrintMode::Range;
    int from_ = 0, to_ = 0;
    QRadioButton* options_[3];
    QLineEdit* pageNo_[2];
};

} // namespace ecr::reports::forms
