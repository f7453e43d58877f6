// Windows as the program opens them: never larger than the screen they open
// on, with the height their contents need in the language shown.
#pragma once

#include <QSize>

class QWidget;

namespace ecr::ui {

// The size a window asking for wanted (its frame included in extra) gets on
// a screen area of available: no larger than the area, no smaller than its
// minimum.
QSize FitSize(QSize wanted, QSize minimum, QSize available, QSize extra = QSize(16, 40));

// Fits the window to the available area of its screen and moves it inside.
void FitOnScreen(QWidget* window);

// From now on every window of the program is fitted to its screen when it is
// first shown.
void InstallWindowFitting();

// The window's height becomes what its contents need at its width, after its
// texts changed (another language): it shrinks as well as grows.
void FitHeightToContents(QWidget* window);

} // namespace ecr::ui
