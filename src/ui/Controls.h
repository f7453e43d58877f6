// Controls as every form makes them: captions from catalogue ids, object
// names for tests and the log, and numbers shown the same way everywhere.
#pragma once

#include "EntryRules.h"

#include <QString>

#include <initializer_list>

class QBoxLayout;
class QCheckBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace ecr::ui {

// A label whose text is the caption of id; field labels get a colon.
QLabel* MakeLabel(QWidget* parent, const char* name, int captionId, bool fieldLabel = true);
// A command button; Enter in a text box never presses it.
QPushButton* MakeButton(QWidget* parent, const char* name, int captionId);
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption);
QCheckBox* MakeCheckBox(QWidget* parent, const char* name, int captionId);
QLineEdit* MakeField(QWidget* parent, const char* name, EntryRule rule);

// Command buttons in a row on the trailing side of a form.
QHBoxLayout* TrailingButtons(std::initializer_list<QWidget*> buttons);

// The page range of a paged transfer: "Start page" and "End page" with their
// boxes (txtStartPage, txtEndPage), made together so they follow each other
// in the tab order; addTo puts the four in a row.
struct PageRange {
    QLabel* startLabel;
    QLineEdit* start;
    QLabel* endLabel;
    QLineEdit* end;
    void addTo(QBoxLayout* row) const;
};
PageRange MakePageRange(QWidget* parent);

// Puts the focus into a field, bringing forward the tab pages that hold it.
void FocusField(QWidget* field);

// Amount as the lists show it: at least minDecimals decimals, more when the
// stored value has them (so a value copied from the list into an entry form
// and saved again loses nothing).
QString AmountText(double value, int minDecimals);
// A stored number without trailing zeros: 13 as "13", 9.5 as "9.5".
QString PlainNumber(double value);

// A text of digits and signs ("-2.000", "3(12)") that must read left to right
// in a label or message: in a right-to-left interface it is marked so, else
// returned as it is.
QString LeftToRight(const QString& text);

} // namespace ecr::ui
