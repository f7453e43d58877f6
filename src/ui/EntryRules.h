// Entry rules of the forms' text boxes: which typed characters a box keeps,
// whether Enter moves on to the next field, and the whole text selected when
// the box takes the focus (typing replaces it). Text pasted or dropped into a
// box is filtered by the same rule, character by character, as if typed.
#pragma once

#include <QChar>
#include <QString>

class QLineEdit;

namespace ecr::ui {

enum class EntryRule {
    Text,           // anything; Enter moves on
    Digits,         // 0-9 and Backspace; Enter does nothing (page boxes)
    DigitsMoveOn,   // 0-9 and Backspace; Enter moves on
    Code,           // 0-9, Backspace and blank; Enter moves on (PLU codes)
    Amount,         // 0-9, Backspace and any number of points; Enter moves on
    Decimal,        // 0-9, Backspace and one point; Enter moves on
    DecimalNoEnter, // as Decimal; Enter does nothing
};

// Whether a box under the rule keeps the typed character. current is the
// box's whole text: a second point is refused even when the first one is
// selected and about to be replaced.
bool RuleAccepts(EntryRule rule, QChar typed, const QString& current);
// Whether Enter moves the focus on (as Tab does).
bool RuleMovesOn(EntryRule rule);

// Gives the box the rule's key filter, the same filter for pasted and dropped
// text, and select-all on focus. The rule can be read back with RuleOf. Text
// the program sets (setText) is not filtered: a stored value shows as stored.
void ApplyEntryRule(QLineEdit* box, EntryRule rule);
// The rule given to the box; Text when none was.
EntryRule RuleOf(const QLineEdit* box);

} // namespace ecr::ui
