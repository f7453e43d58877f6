// Mnemonics (Alt+letter) for menus and buttons whose captions come from the
// catalogue, so they work in every language that has letters.
#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

class QMenuBar;
class QMenu;

namespace ecr::ui {

// A caption without its mnemonic mark ("&&" stays a single "&").
QString PlainCaption(const QString& caption);

// Captions of one menu (siblings) with a mnemonic each where a letter is
// left: the first letter of a word first, then any letter, then a digit,
// never one a sibling took before (letters in any case). An "&" of the text is kept as "&&".
// Chinese characters are no letters here: a caption of them alone gets none.
QStringList WithMnemonics(const QStringList& plainCaptions);

// One button's caption with the letter Qt's own caption uses ('Y' for
// "&Yes") when the text has it, else its first letter, else the letter in
// brackets behind the text ("是(&Y)").
QString ButtonCaption(const QString& plainText, QChar letter);

// The mnemonics of every menu of the bar, from the captions they show.
void AddMenuMnemonics(QMenuBar* bar);

} // namespace ecr::ui
