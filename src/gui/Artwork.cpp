#include "Artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>
#include <QtMath>

namespace ecr::gui {
namespace {

// The register, drawn in a 400 x 300 box and scaled by the caller.
void paintRegister(QPainter& p) {
    p.setPen(Qt::NoPen);
    // Shadow on the counter.
    QRadialGradient shadow(QPointF(200, 292), 190);
    shadow.setColorAt(0, QColor(0, 0, 0, 90));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    p.setBrush(shadow);
    p.drawEllipse(QPointF(200, 292), 200, 18);

    // Cash drawer.
    QLinearGradient drawer(0, 220, 0, 290);
    drawer.setColorAt(0, QColor("#d9dee4"));
    drawer.setColorAt(1, QColor("#aab3bd"));
    p.setBrush(drawer);
    p.drawRoundedRect(QRectF(30, 220, 340, 68), 10, 10);
    p.setBrush(QColor("#8d97a3"));
    p.drawRoundedRect(QRectF(150, 246, 100, 10), 5, 5);
    p.setBrush(QColor("#5c6673"));
    p.drawEllipse(QPointF(330, 251), 6, 6);

    // Body with the sloped keyboard.
    QPainterPath body;
    body.moveTo(60, 222);
    body.lineTo(340, 222);
    body.lineTo(318, 110);
    body.lineTo(82, 110);
    body.closeSubpath();
    QLinearGradient bodyFill(0, 110, 0, 222);
    bodyFill.setColorAt(0, QColor("#f4f6f8"));
    bodyFill.setColorAt(1, QColor("#c9d0d8"));
    p.setBrush(bodyFill);
    p.drawPath(body);

    // Keys: a 6 x 4 grid, the function column in colour.
    for (int row = 0; row < 4; ++row) {
        const double y = 124 + row * 24;
        const double inset = (3 - row) * 4.5;
        for (int col = 0; col < 6; ++col) {
            const double x = 104 - inset + col * (32 + inset * 2 / 6.0);
            QColor c("#ffffff");
            if (col == 5) c = row == 3 ? QColor("#2a9d8f") : QColor("#e9c46a");
            if (col == 5 && row == 0) c = QColor("#e76f51");
            p.setBrush(QColor(0, 0, 0, 40));
            p.drawRoundedRect(QRectF(x, y + 2, 26, 17), 4, 4);
            p.setBrush(c);
            p.drawRoundedRect(QRectF(x, y, 26, 17), 4, 4);
        }
    }

    // Operator display.
    p.setBrush(QColor("#3b4550"));
    p.drawRoundedRect(QRectF(96, 58, 208, 48), 8, 8);
    p.setBrush(QColor("#0f2a2e"));
    p.drawRoundedRect(QRectF(104, 65, 192, 34), 5, 5);
    QFont digits(QStringLiteral("DejaVu Sans Mono"));
    digits.setPixelSize(24);
    digits.setBold(true);
    p.setFont(digits);
    p.setPen(QColor("#5ef2c5"));
    p.drawText(QRectF(104, 65, 184, 34), Qt::AlignAbsolute | Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("128.50"));
    p.setPen(Qt::NoPen);

    // Receipt coming out of the printer.
    p.setBrush(QColor("#3b4550"));
    p.drawRoundedRect(QRectF(300, 96, 60, 14), 4, 4);
    QPainterPath paper;
    paper.moveTo(308, 100);
    paper.lineTo(352, 100);
    paper.lineTo(352, 20);
    for (int i = 0; i < 6; ++i) {
        paper.lineTo(352 - i * 7.33 - 3.66, 14);
        paper.lineTo(352 - (i + 1) * 7.33, 20);
    }
    paper.closeSubpath();
    p.setBrush(QColor("#fffdf7"));
    p.drawPath(paper);
    p.setBrush(QColor("#b8c0c8"));
    for (int i = 0; i < 7; ++i) p.drawRect(QRectF(314, 28 + i * 9, i % 3 == 2 ? 20 : 32, 3));
}

// A desktop computer in a 200 x 200 box.
void paintComputer(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor("#3b4550"));
    p.drawRoundedRect(QRectF(0, 0, 200, 130), 10, 10);
    QLinearGradient screen(0, 10, 0, 120);
    screen.setColorAt(0, QColor("#8ecae6"));
    screen.setColorAt(1, QColor("#219ebc"));
    p.setBrush(screen);
    p.drawRoundedRect(QRectF(10, 10, 180, 108), 4, 4);
    // A table on the screen.
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawRect(QRectF(24, 24, 152, 12));
    p.setBrush(QColor(255, 255, 255, 120));
    for (int i = 0; i < 5; ++i) p.drawRect(QRectF(24, 42 + i * 14, 152, 8));
    p.setBrush(QColor("#aab3bd"));
    p.drawRect(QRectF(88, 130, 24, 34));
    p.drawRoundedRect(QRectF(56, 160, 88, 12), 5, 5);
}

} // namespace

void PaintBackground(QPainter& p, const QRect& area) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(area.topLeft(), area.bottomLeft());
    sky.setColorAt(0, QColor("#16324f"));
    sky.setColorAt(0.65, QColor("#2a6f97"));
    sky.setColorAt(1, QColor("#61a5c2"));
    p.fillRect(area, sky);

    // Soft light bands.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i) {
        QPainterPath band;
        const double w = area.width(), h = area.height();
        band.moveTo(area.left() + w * (0.15 + i * 0.25), area.top());
        band.lineTo(area.left() + w * (0.30 + i * 0.25), area.top());
        band.lineTo(area.left() + w * (0.05 + i * 0.25), area.top() + h);
        band.lineTo(area.left() + w * (-0.10 + i * 0.25), area.top() + h);
        band.closeSubpath();
        p.setBrush(QColor(255, 255, 255, 10 + i * 4));
        p.drawPath(band);
    }
    // Counter top.
    const double counter = area.top() + area.height() * 0.78;
    p.setBrush(QColor(10, 25, 40, 70));
    p.drawRect(QRectF(area.left(), counter, area.width(), area.bottom() - counter + 1));

    const double unit = qMin(area.width() / 900.0, area.height() / 560.0);
    if (unit <= 0) {
        p.restore();
        return;
    }
    const QPointF centre(area.left() + area.width() / 2.0, counter);
    const QPointF registerAt(centre.x() - 40 * unit, counter - 292 * unit);
    const QPointF computerAt(centre.x() - 330 * unit, counter - 172 * unit);

    // The serial cable between them.
    QPainterPath cable;
    cable.moveTo(computerAt + QPointF(196 * unit, 96 * unit));
    cable.cubicTo(computerAt + QPointF(300 * unit, 110 * unit), registerAt + QPointF(-80 * unit, 300 * unit),
                  registerAt + QPointF(34 * unit, 262 * unit));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor("#e9c46a"), 5 * unit, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(cable);
    p.setPen(Qt::NoPen);

    p.save();
    p.translate(computerAt);
    p.scale(unit, unit);
    paintComputer(p);
    p.restore();

    p.save();
    p.translate(registerAt);
    p.scale(unit, unit);
    paintRegister(p);
    p.restore();
    p.restore();
}

BackgroundImage::BackgroundImage(QWidget* parent) : QWidget(parent) {
    setObjectName("Image1");
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BackgroundImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    PaintBackground(p, rect());
}

namespace {

QPixmap canvas(int size = 32) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    return pm;
}

// A rounded tile in the button's colour; glyphs are drawn on it in white.
void tile(QPainter& p, const QColor& c) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    QLinearGradient g(0, 0, 0, 32);
    g.setColorAt(0, c.lighter(115));
    g.setColorAt(1, c.darker(110));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 7, 7);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
}

QPen stroke(double w = 2.4) { return QPen(Qt::white, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

} // namespace

QPixmap ProgramPixmap(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    // Drawn in a 64 x 64 box.
    p.scale(size / 64.0, size / 64.0);
    p.setBrush(QColor("#2a6f97"));
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 14, 14);
    p.translate(4, 10);
    p.scale(56 / 400.0, 56 / 400.0);
    paintRegister(p);
    return pm;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) icon.addPixmap(ProgramPixmap(size));
    return icon;
}

QIcon ToolIcon(const QString& key) {
    QPixmap pm = canvas();
    QPainter p(&pm);
    if (key == "sys") { // gear
        tile(p, QColor("#457b9d"));
        p.translate(16, 16);
        for (int i = 0; i < 8; ++i) {
            p.drawRoundedRect(QRectF(-2.5, -12, 5, 6), 1, 1);
            p.rotate(45);
        }
        p.drawEllipse(QPointF(0, 0), 8, 8);
        p.setBrush(QColor("#457b9d"));
        p.drawEllipse(QPointF(0, 0), 3.5, 3.5);
    } else if (key == "cashier") { // person
        tile(p, QColor("#2a9d8f"));
        p.drawEllipse(QPointF(16, 11), 5, 5);
        p.drawRoundedRect(QRectF(7, 18, 18, 10), 6, 6);
    } else if (key == "depa") { // four groups
        tile(p, QColor("#e76f51"));
        for (int i = 0; i < 4; ++i) p.drawRoundedRect(QRectF(7 + (i % 2) * 10, 7 + (i / 2) * 10, 8, 8), 2, 2);
    } else if (key == "hotkey") { // keyboard
        tile(p, QColor("#6d597a"));
        p.drawRoundedRect(QRectF(5, 10, 22, 13), 2, 2);
        p.setBrush(QColor("#6d597a"));
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 5; ++c) p.drawRect(QRectF(7 + c * 4, 12 + r * 4, 2.5, 2.5));
        p.drawRect(QRectF(10, 20, 12, 1.6));
    } else if (key == "plu") { // price tag
        tile(p, QColor("#e9a23b"));
        QPainterPath tag;
        tag.moveTo(7, 9);
        tag.lineTo(17, 9);
        tag.lineTo(26, 18);
        tag.lineTo(18, 26);
        tag.lineTo(7, 16);
        tag.closeSubpath();
        p.drawPath(tag);
        p.setBrush(QColor("#e9a23b"));
        p.drawEllipse(QPointF(11.5, 13), 2, 2);
    } else if (key == "saledata") { // bar chart
        tile(p, QColor("#3a86ff"));
        p.drawRect(QRectF(7, 17, 4, 9));
        p.drawRect(QRectF(14, 11, 4, 15));
        p.drawRect(QRectF(21, 7, 4, 19));
    } else if (key == "member") { // member card
        tile(p, QColor("#8338ec"));
        p.drawRoundedRect(QRectF(5, 8, 22, 16), 3, 3);
        p.setBrush(QColor("#8338ec"));
        p.drawEllipse(QPointF(11, 14), 2.5, 2.5);
        p.drawRoundedRect(QRectF(7.5, 17.5, 7, 4), 2, 2);
        p.drawRect(QRectF(17, 13, 7, 1.8));
        p.drawRect(QRectF(17, 17, 5, 1.8));
    } else if (key == "download") { // arrow into the register
        tile(p, QColor("#118ab2"));
        p.setPen(stroke(2.8));
        p.drawLine(QPointF(16, 6), QPointF(16, 19));
        p.drawLine(QPointF(10.5, 14), QPointF(16, 19.5));
        p.drawLine(QPointF(21.5, 14), QPointF(16, 19.5));
        p.drawLine(QPointF(7, 25), QPointF(25, 25));
    } else if (key == "db") { // cylinder
        tile(p, QColor("#577590"));
        p.drawRect(QRectF(8, 10, 16, 13));
        p.drawEllipse(QRectF(8, 19, 16, 7));
        p.setBrush(QColor("#d8e2ec"));
        p.drawEllipse(QRectF(8, 6.5, 16, 7));
    } else if (key == "about") { // i
        tile(p, QColor("#43aa8b"));
        p.drawEllipse(QPointF(16, 9.5), 2.4, 2.4);
        p.drawRoundedRect(QRectF(13.8, 14, 4.4, 12), 1.5, 1.5);
    } else if (key == "exit") { // door and arrow
        tile(p, QColor("#d62828"));
        p.setPen(stroke());
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(17, 8), QPointF(9, 8), QPointF(9, 24), QPointF(17, 24)}));
        p.drawLine(QPointF(14, 16), QPointF(26, 16));
        p.drawLine(QPointF(22, 12), QPointF(26, 16));
        p.drawLine(QPointF(22, 20), QPointF(26, 16));
    }
    p.end();
    return QIcon(pm);
}

} // namespace ecr::gui
