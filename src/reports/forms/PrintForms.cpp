#include "PrintForms.h"

#include "FormKit.h"
#include "PagePrinter.h"
#include "app/AppState.h"
#include "app/GlobalFunc.h"
#include "reports/Ids.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QScrollArea>
#include <QScreen>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace ecr::reports::forms {

namespace {

constexpr int kPageMargin = 12; // pixels of grey around the page
const int kZoomSteps[] = {50, 75, 100, 125, 150, 200};

struct ToolButton {
    const char* key;
    int captionId;
    QKeySequence shortcut;
};

} // namespace

// ---- page view -------------------------------------------------------------

PageView::PageView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("vp"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PageView::show(Renderer* renderer, int page, double zoom) {
    renderer_ = renderer;
    page_ = page;
    zoom_ = zoom;
    resize(sizeHint());
    update();
}

QSize PageView::sizeHint() const {
    if (!renderer_) return {200, 200};
    const QSizeF page = renderer_->pageSize() * zoom_ * logicalDpiX() / kUnitsPerInch;
    return page.toSize() + QSize(2 * kPageMargin, 2 * kPageMargin);
}

void PageView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(128, 128, 128));
    if (!renderer_) return;
    const double scale = zoom_ * logicalDpiX() / kUnitsPerInch;
    const QSizeF page = renderer_->pageSize() * scale;
    const QRectF paper(QPointF(kPageMargin, kPageMargin), page);
    p.fillRect(paper.translated(3, 3), QColor(70, 70, 70));
    p.fillRect(paper, Qt::white);
    p.translate(kPageMargin, kPageMargin);
    p.scale(scale, scale);
    renderer_->paintPage(p, page_);
}

// ---- frmPrint ----------------------------------------------------------------

PrintForm::PrintForm(std::shared_ptr<const Document> doc, QWidget* parent)
    : QDialog(parent), doc_(std::move(doc)), laidOutOn_(QPageSize::A4) {
    setObjectName(QStringLiteral("frmPrint"));
    setWindowTitle(Caption(111086));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);

    toolbar_ = new QToolBar(this);
    toolbar_->setObjectName(QStringLiteral("Toolbar1"));
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const ToolButton buttons[] = {
        {"first", 111081, QKeySequence(Qt::CTRL | Qt::Key_Home)}, {"prev", 111082, QKeySequence(Qt::Key_PageUp)},
        {"next", 111083, QKeySequence(Qt::Key_PageDown)},         {"last", 111084, QKeySequence(Qt::CTRL | Qt::Key_End)},
        {"print", 111085, QKeySequence::Print},                   {"exit", 111019, QKeySequence()},
    };
    for (const ToolButton& b : buttons) {
        QAction* a = toolbar_->addAction(Caption(b.captionId));
        a->setObjectName(QString::fromLatin1(b.key));
        if (!b.shortcut.isEmpty()) a->setShortcut(b.shortcut);
        const QString key = QString::fromLatin1(b.key);
        connect(a, &QAction::triggered, this, [this, key] { Toolbar1_ButtonClick(key); });
        if (key == QLatin1String("last")) toolbar_->addSeparator();
    }
    toolbar_->addSeparator();
    zoomBox_ = new QComboBox(toolbar_);
    zoomBox_->setObjectName(QStringLiteral("cboZoom"));
    for (int z : kZoomSteps) zoomBox_->addItem(QStringLiteral("%1%").arg(z), z);
    zoomBox_->addItem(Caption(msg::FitWidth), -1);
    zoomBox_->addItem(Caption(msg::WholePage), -2);
    toolbar_->addWidget(zoomBox_);
    toolbar_->addSeparator();
    pageLabel_ = new QLabel(toolbar_);
    pageLabel_->setObjectName(QStringLiteral("lblPage"));
    toolbar_->addWidget(pageLabel_);

    scroll_ = new QScrollArea(this);
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll_->setBackgroundRole(QPalette::Dark);
    view_ = new PageView(scroll_);
    scroll_->setWidget(view_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolbar_);
    layout->addWidget(scroll_, 1);
    ApplyFont(this);

    connect(zoomBox_, &QComboBox::activated, this, [this](int index) {
        const int v = zoomBox_->itemData(index).toInt();
        if (v > 0) {
            setZoomPercent(v);
            return;
        }
        zoomMode_ = v == -1 ? Zoom::FitWidth : Zoom::WholePage;
        zoom_ = fittedZoom(zoomMode_);
        refresh();
    });

    layOut();
    // As large as a page at 100%, within the screen.
    const QRect screenRoom = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSize wanted = view_->sizeHint() + QSize(24, toolbar_->sizeHint().height() + 24);
    resize(std::min(wanted.width(), screenRoom.width() * 9 / 10), std::min(wanted.height(), screenRoom.height() * 9 / 10));
}

PrintForm::~PrintForm() = default;

QAction* PrintForm::button(const char* key) const { return toolbar_->findChild<QAction*>(QString::fromLatin1(key)); }

void PrintForm::layOut() {
    laidOutOn_ = Printer().pageSize();
    renderer_ = std::make_unique<Renderer>(*doc_, laidOutOn_, QDate::currentDate(), ReportFontFamily(App().langCode));
    pageCount_ = renderer_->pageCount();
    page_ = std::clamp(page_, 1, pageCount_);
    refresh();
}

void PrintForm::refresh() {
    view_->show(renderer_.get(), page_ - 1, zoom_);
    pageLabel_->setText(QString::fromStdString(
        SubstituteArgs(Caption(msg::PageOf).toStdString(), {std::to_string(page_), std::to_string(pageCount_)})));
    button("first")->setEnabled(page_ > 1);
    button("prev")->setEnabled(page_ > 1);
    button("next")->setEnabled(page_ < pageCount_);
    button("last")->setEnabled(page_ < pageCount_);
}

void PrintForm::setPage(int page) {
    // Beyond either end the page stays as it is.
    if (page < 1 || page > pageCount_ || page == page_) return;
    page_ = page;
    refresh();
    scroll_->verticalScrollBar()->setValue(0);
}

void PrintForm::setZoomPercent(int percent) {
    zoomMode_ = Zoom::Percent;
    zoom_ = percent / 100.0;
    const int index = zoomBox_->findData(percent);
    if (index >= 0) zoomBox_->setCurrentIndex(index);
    refresh();
}

double PrintForm::fittedZoom(Zoom mode) const {
    const QSizeF page = renderer_->pageSize() * logicalDpiX() / kUnitsPerInch;
    const QSize room = scroll_->viewport()->size() - QSize(2 * kPageMargin, 2 * kPageMargin);
    const double byWidth = room.width() / page.width();
    const double byHeight = room.height() / page.height();
    return std::max(0.1, mode == Zoom::FitWidth ? byWidth : std::min(byWidth, byHeight));
}

void PrintForm::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    setZoomPercent(100);
}

void PrintForm::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    if (zoomMode_ != Zoom::Percent) {
        zoom_ = fittedZoom(zoomMode_);
        refresh();
    }
}

void PrintForm::Toolbar1_ButtonClick(const QString& key) {
    if (key == QLatin1String("first")) setPage(1);
    else if (key == QLatin1String("prev")) setPage(page_ - 1);
    else if (key == QLatin1String("next")) setPage(page_ + 1);
    else if (key == QLatin1String("last")) setPage(pageCount_);
    else if (key == QLatin1String("print")) printPages();
    else if (key == QLatin1String("exit")) close();
}

void PrintForm::printPages() {
    PrintSetForm options(pageCount_, this);
    options.exec();
    setZoomPercent(100);
    if (options.cancelled()) return;
    // Another paper lays the pages out anew before the numbers are read.
    if (options.printerChanged() && !(Printer().pageSize() == laidOutOn_)) layOut();
    const std::vector<int> pages = PagesToPrint(options.mode(), options.fromPage(), options.toPage(), pageCount_);
    if (pages.empty()) {
        Inform(this, Caption(msg::NothingToPrint));
        return;
    }
    QString error;
    if (!Printer().print(*renderer_, pages, &error)) ShowError(this, Caption(111465) + "\n" + error);
}

// ---- frmPrintSet -------------------------------------------------------------

PrintSetForm::PrintSetForm(int pageCount, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmPrintSet"));
    setWindowTitle(Caption(111087));
    const int optionIds[] = {111088, 111090, 111091};
    for (int i = 0; i < 3; ++i) {
        options_[i] = new QRadioButton(Caption(optionIds[i]), this);
        options_[i]->setObjectName(QStringLiteral("Option1(%1)").arg(i));
    }
    options_[0]->setChecked(true);
    for (int i = 0; i < 2; ++i) {
        pageNo_[i] = MakeDigitsField(this, i == 0 ? "txtPageNo(0)" : "txtPageNo(1)", true);
        pageNo_[i]->setMaximumWidth(80);
    }
    pageNo_[0]->setText(QStringLiteral("1"));
    pageNo_[1]->setText(QString::number(pageCount));
    QLabel* from = MakeLabel(this, "Label1", 111270);
    QLabel* to = MakeLabel(this, "Label2", 111271);
    auto* inclusive = new QLabel(Caption(111272), this);
    inclusive->setObjectName(QStringLiteral("Label3"));
    QPushButton* setup = MakeButton(this, "cmdPrinterSetup", 111381);
    QPushButton* ok = MakeButton(this, "cmdOK", 111000);
    QPushButton* cancel = MakeButton(this, "cmdCancel", 111010);
    ok->setDefault(true);

    auto* range = new QHBoxLayout;
    range->addWidget(from);
    range->addWidget(pageNo_[0]);
    range->addWidget(to);
    range->addWidget(pageNo_[1]);
    range->addWidget(inclusive);
    range->addStretch(1);
    auto* grid = new QVBoxLayout;
    grid->addWidget(options_[0]);
    auto* indented = new QHBoxLayout;
    indented->addSpacing(24);
    indented->addLayout(range);
    grid->addLayout(indented);
    grid->addWidget(options_[1]);
    grid->addWidget(options_[2]);
    auto* commands = new QHBoxLayout;
    commands->addWidget(setup);
    commands->addStretch(1);
    commands->addWidget(ok);
    commands->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(commands);
    ApplyFont(this);

    // The page boxes belong to the range.
    for (int i = 1; i < 3; ++i)
        connect(options_[i], &QRadioButton::toggled, this, [this] {
            for (QLineEdit* box : pageNo_) box->setEnabled(options_[0]->isChecked());
        });
    connect(ok, &QPushButton::clicked, this, &PrintSetForm::cmdOK_Click);
    connect(cancel, &QPushButton::clicked, this, &PrintSetForm::cmdCancel_Click);
    connect(setup, &QPushButton::clicked, this, &PrintSetForm::cmdPrinterSetup_Click);
}

void PrintSetForm::cmdOK_Click() {
    if (options_[0]->isChecked()) {
        mode_ = PrintMode::Range;
        from_ = static_cast<int>(std::min(NumericValue(pageNo_[0]->text().toStdString()), 1e9));
        to_ = static_cast<int>(std::min(NumericValue(pageNo_[1]->text().toStdString()), 1e9));
    } else {
        mode_ = options_[1]->isChecked() ? PrintMode::Odd : PrintMode::Even;
    }
    cancelled_ = false;
    accept();
}

void PrintSetForm::cmdCancel_Click() { reject(); }

void PrintSetForm::reject() {
    cancelled_ = true;
    QDialog::reject();
}

void PrintSetForm::closeEvent(QCloseEvent* e) {
    cancelled_ = true;
    QDialog::closeEvent(e);
}

void PrintSetForm::cmdPrinterSetup_Click() {
    if (Printer().setUp(this)) printerChanged_ = true;
}

} // namespace ecr::reports::forms
