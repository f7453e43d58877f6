#include "EntryRules.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QValidator>

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

// Pasted and dropped text reaches the box without key presses: the box's
// validator filters every change the same way the key filter does.
class RuleValidator : public QValidator {
public:
    RuleValidator(EntryRule rule, QObject* parent) : QValidator(parent), rule_(rule) {}
    State validate(QString& input, int& pos) const override {
        const QString kept = FilterByRule(rule_, input);
        if (kept != input) {
            pos = static_cast<int>(FilterByRule(rule_, input.left(pos)).size());
            input = kept;
        }
        return Acceptable;
    }

private:
    EntryRule rule_;
};

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

QString FilterByRule(EntryRule rule, const QString& text) {
    QString kept;
    for (QChar c : text)
        if (c != u'\b' && RuleAccepts(rule, c, kept)) kept += c;
    return kept;
}

void ApplyEntryRule(QLineEdit* box, EntryRule rule) {
    box->setProperty(kRuleProperty, static_cast<int>(rule));
    box->removeEventFilter(filter());
    box->installEventFilter(filter());
    delete dynamic_cast<const RuleValidator*>(box->validator());
    if (rule != EntryRule::Text) box->setValidator(new RuleValidator(rule, box));
}

EntryRule RuleOf(const QLineEdit* box) {
    const QVariant v = box->property(kRuleProperty);
    return v.isValid() ? static_cast<EntryRule>(v.toInt()) : EntryRule::Text;
}

} // namespace ecr::ui
