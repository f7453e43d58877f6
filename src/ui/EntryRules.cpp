#include "EntryRules.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

namespace ecr::ui {

namespace {

constexpr char kRuleProperty[] = "ecrEntryRule";

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// One filter object serves every box; the rule travels with the box.
class RuleFilter : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = qobject_cast<QLineEdit*>(watched);
        if (!box) return false;
        if (event->type() == QEvent::FocusIn) {
            selectAll(box);
            return false;
        }
        if (event->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const EntryRule rule = RuleOf(box);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (RuleMovesOn(rule)) moveOn(box);
            return true; // never reaches the dialog's default button
        }
        // Shortcuts (copy, paste, select all) and keys without text pass.
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
        const QString text = key->text();
        if (text.isEmpty()) return false;
        QString current = box->text();
        for (QChar c : text) {
            if (c.unicode() < 0x20 && c != u'\b') return false; // control keys such as Tab
            if (c.unicode() == 0x7F) return false;
            if (!RuleAccepts(rule, c, current)) return true;
            current += c;
        }
        return false;
    }

private:
    static void selectAll(QLineEdit* box) {
        box->selectAll();
        // A mouse click that gave the focus places the cursor after this
        // event; select again once it has.
        QPointer<QLineEdit> guard(box);
        QTimer::singleShot(0, box, [guard] {
            if (guard && guard->hasFocus()) guard->selectAll();
        });
    }
    static void moveOn(QLineEdit* box) {
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
        QApplication::sendEvent(box, &tab);
    }
};

RuleFilter* filter() {
    static RuleFilter* f = new RuleFilter(qApp);
    return f;
}

// Pasted or dropped text reaches the box without key presses. After every
// edit by the user the inserted characters (the text between what stayed in
// front and behind) are filtered as if typed; text set by the program (a
// stored value shown) is left as it is.
constexpr char kPreviousProperty[] = "ecrPreviousText";

void filterEdit(QLineEdit* box) {
    const QString before = box->property(kPreviousProperty).toString();
    const QString after = box->text();
    qsizetype front = 0;
    while (front < before.size() && front < after.size() && before[front] == after[front]) ++front;
    qsizetype back = 0;
    while (back < before.size() - front && back < after.size() - front &&
           before[before.size() - 1 - back] == after[after.size() - 1 - back])
        ++back;
    const QString head = after.left(front);
    const QString tail = after.right(back);
    const QString inserted = after.mid(front, after.size() - front - back);
    const EntryRule rule = RuleOf(box);
    QString kept;
    for (QChar c : inserted)
        if (c != u'\b' && RuleAccepts(rule, c, head + kept + tail)) kept += c;
    if (kept == inserted) return;
    box->setText(head + kept + tail);
    box->setCursorPosition(static_cast<int>(head.size() + kept.size()));
}

} // namespace

bool RuleAccepts(EntryRule rule, QChar c, const QString& current) {
    if (c == u'\b') return true;
    switch (rule) {
    case EntryRule::Text: return true;
    case EntryRule::Digits:
    case EntryRule::DigitsMoveOn: return isDigit(c);
    case EntryRule::Code: return isDigit(c) || c == u' ';
    case EntryRule::Amount: return isDigit(c) || c == u'.';
    case EntryRule::Decimal:
    case EntryRule::DecimalNoEnter: return isDigit(c) || (c == u'.' && !current.contains(u'.'));
    }
    return false;
}

bool RuleMovesOn(EntryRule rule) { return rule != EntryRule::Digits && rule != EntryRule::DecimalNoEnter; }

void ApplyEntryRule(QLineEdit* box, EntryRule rule) {
    const bool first = !box->property(kRuleProperty).isValid();
    box->setProperty(kRuleProperty, static_cast<int>(rule));
    box->removeEventFilter(filter());
    box->installEventFilter(filter());
    box->setProperty(kPreviousProperty, box->text());
    if (!first) return;
    QObject::connect(box, &QLineEdit::textEdited, box, [box] { filterEdit(box); });
    QObject::connect(box, &QLineEdit::textChanged, box,
                     [box](const QString& text) { box->setProperty(kPreviousProperty, text); });
}

EntryRule RuleOf(const QLineEdit* box) {
    const QVariant v = box->property(kRuleProperty);
    return v.isValid() ? static_cast<EntryRule>(v.toInt()) : EntryRule::Text;
}

} // namespace ecr::ui
