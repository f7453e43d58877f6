// Pictures drawn by the program itself: the main window's background, the
// window icon and the toolbar icons.
#pragma once

#include <QIcon>
#include <QRect>
#include <QWidget>

class QPainter;

namespace ecr::gui {

// The background: a cash register joined to a computer by a cable.
void PaintBackground(QPainter& p, const QRect& area);

// Fills its whole area with the background; the main window's central widget.
class BackgroundImage : public QWidget {
    Q_OBJECT
public:
    explicit BackgroundImage(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent*) override;
};

QIcon ProgramIcon();
// The program's icon drawn at size x size pixels (the installed icon file).
QPixmap ProgramPixmap(int size);
// Icon of a toolbar button by its key ("sys", "plu", "exit", ...).
QIcon ToolIcon(const QString& key);

} // namespace ecr::gui
