#include "Windows.h"

#include <QApplication>
#include <QEvent>
#include <QLayout>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace ecr::ui {

QSize FitSize(QSize wanted, QSize minimum, QSize available, QSize extra) {
    const auto fit = [](int want, int least, int room) { return std::max(least, std::min(want, room)); };
    return {fit(wanted.width(), minimum.width(), available.width() - extra.width()),
            fit(wanted.height(), minimum.height(), available.height() - extra.height())};
}

void FitOnScreen(QWidget* window) {
    if (!window) return;
    QScreen* screen = window->screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    QSize minimum = window->minimumSize();
    if (window->layout()) minimum = minimum.expandedTo(window->layout()->totalMinimumSize());
    const QSize size = FitSize(window->size(), minimum, area.size());
    if (size != window->size()) window->resize(size);
    // Inside the area, the frame's top-left corner first.
    QRect frame = window->frameGeometry();
    if (frame.width() < size.width()) frame.setSize(size);
    const int x = std::clamp(frame.x(), area.left(), std::max(area.left(), area.right() + 1 - frame.width()));
    const int y = std::clamp(frame.y(), area.top(), std::max(area.top(), area.bottom() + 1 - frame.height()));
    if (x != frame.x() || y != frame.y()) window->move(x, y);
}

namespace {

constexpr char kFitted[] = "ecrFittedOnScreen";

class WindowFitter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show || !watched->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(watched);
        const Qt::WindowType type = w->windowType();
        if (!w->isWindow() || (type != Qt::Window && type != Qt::Dialog) || w->property(kFitted).toBool())
            return false;
        w->setProperty(kFitted, true);
        FitOnScreen(w);
        return false;
    }
};

} // namespace

void InstallWindowFitting() {
    static WindowFitter* fitter = nullptr;
    if (fitter) return;
    fitter = new WindowFitter(qApp);
    qApp->installEventFilter(fitter);
}

void FitHeightToContents(QWidget* window) {
    QLayout* layout = window ? window->layout() : nullptr;
    if (!layout) return;
    layout->invalidate();
    layout->activate();
    const int width = window->width();
    int height = layout->hasHeightForWidth() ? layout->totalHeightForWidth(width) : layout->totalSizeHint().height();
    height = std::max(height, layout->totalMinimumSize().height());
    // The least height the layout set for the texts before (longer, wrapped
    // to more lines) would keep the window tall.
    if (window->minimumHeight() > height) window->setMinimumHeight(height);
    window->resize(width, height);
}

} // namespace ecr::ui
