#include "Controls.h"

#include "Texts.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <cmath>

namespace ecr::ui {

QLabel* MakeLabel(QWidget* parent, const char* name, int captionId, bool fieldLabel) {
    auto* l = new QLabel(fieldLabel ? FieldLabel(Text(captionId)) : Text(captionId), parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QPushButton* MakeButton(QWidget* parent, const char* name, int captionId) {
    return MakeButton(parent, name, Text(captionId));
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, int captionId) {
    auto* c = new QCheckBox(Text(captionId), parent);
    c->setObjectName(QString::fromLatin1(name));
    return c;
}

QLineEdit* MakeField(QWidget* parent, const char* name, EntryRule rule) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    ApplyEntryRule(e, rule);
    return e;
}

QHBoxLayout* TrailingButtons(std::initializer_list<QWidget*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QWidget* b : buttons) row->addWidget(b);
    return row;
}

PageRange MakePageRange(QWidget* parent) {
    PageRange r{MakeLabel(parent, "Label7", 111522), MakeField(parent, "txtStartPage", EntryRule::Digits),
                MakeLabel(parent, "Label8", 111523), MakeField(parent, "txtEndPage", EntryRule::Digits)};
    for (QLineEdit* e : {r.start, r.end}) e->setMaximumWidth(60);
    return r;
}

void PageRange::addTo(QBoxLayout* row) const {
    for (QWidget* w : {static_cast<QWidget*>(startLabel), static_cast<QWidget*>(start),
                       static_cast<QWidget*>(endLabel), static_cast<QWidget*>(end)})
        row->addWidget(w);
}

void FocusField(QWidget* field) {
    if (!field) return;
    // A tab page's parent is the tab widget's page stack.
    for (QWidget* w = field; w->parentWidget(); w = w->parentWidget()) {
        QWidget* stack = w->parentWidget();
        if (auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget()); tabs && tabs->indexOf(w) >= 0)
            tabs->setCurrentWidget(w);
    }
    field->setFocus(Qt::OtherFocusReason);
}

QString AmountText(double value, int minDecimals) {
    for (int d = minDecimals; d < 6; ++d) {
        const QString t = QString::number(value, 'f', d);
        if (std::fabs(t.toDouble() - value) < 1e-9) return t;
    }
    return QString::number(value, 'f', 6);
}

QString PlainNumber(double value) { return QString::number(value, 'g', 15); }

QString LeftToRight(const QString& text) {
    if (QGuiApplication::layoutDirection() != Qt::RightToLeft || text.isEmpty()) return text;
    // Left-to-right marks on both sides: the signs and brackets between the
    // digits take the digits' direction, not the interface's.
    const QChar mark(0x200E);
    return mark + text + mark;
}

} // namespace ecr::ui
