#include "Mnemonics.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSet>

namespace ecr::ui {

namespace {

// A letter a keyboard types with one key: not the ideographs of Chinese,
// Japanese and Korean.
bool isKeyLetter(QChar c) {
    if (!c.isLetter()) return false;
    switch (c.script()) {
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Hangul:
    case QChar::Script_Bopomofo:
    case QChar::Script_Yi: return false;
    default: return true;
    }
}

QString escaped(const QString& text) {
    QString t = text;
    return t.replace(QLatin1Char('&'), QLatin1String("&&"));
}

QString markAt(const QString& plain, qsizetype at) {
    return escaped(plain.left(at)) + QLatin1Char('&') + escaped(plain.mid(at));
}

} // namespace

QString PlainCaption(const QString& caption) {
    QString out;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&') {
            if (i + 1 < caption.size() && caption[i + 1] == u'&') {
                out += u'&';
                ++i;
            }
            continue;
        }
        out += caption[i];
    }
    return out;
}

QStringList WithMnemonics(const QStringList& plainCaptions) {
    QSet<QChar> taken;
    QStringList out;
    for (const QString& plain : plainCaptions) {
        qsizetype chosen = -1;
        const auto free = [&](qsizetype i) { return isKeyLetter(plain[i]) && !taken.contains(plain[i].toLower()); };
        // Word starts first, then any letter.
        for (qsizetype i = 0; i < plain.size() && chosen < 0; ++i)
            if ((i == 0 || !plain[i - 1].isLetterOrNumber()) && free(i)) chosen = i;
        for (qsizetype i = 0; i < plain.size() && chosen < 0; ++i)
            if (free(i)) chosen = i;
        // No letter left: a digit of the caption ("Top 25 PLUs") still gives Alt+digit.
        for (qsizetype i = 0; i < plain.size() && chosen < 0; ++i)
            if (plain[i].isDigit() && !taken.contains(plain[i])) chosen = i;
        if (chosen < 0) {
            out << escaped(plain);
            continue;
        }
        taken.insert(plain[chosen].toLower());
        out << markAt(plain, chosen);
    }
    return out;
}

QString ButtonCaption(const QString& plainText, QChar letter) {
    const qsizetype same = plainText.indexOf(letter, 0, Qt::CaseInsensitive);
    if (same >= 0) return markAt(plainText, same);
    for (qsizetype i = 0; i < plainText.size(); ++i)
        if (isKeyLetter(plainText[i])) return markAt(plainText, i);
    return escaped(plainText) + QStringLiteral("(&") + letter.toUpper() + QLatin1Char(')');
}

namespace {

void addTo(const QList<QAction*>& actions) {
    QList<QAction*> named;
    QStringList plain;
    for (QAction* a : actions) {
        if (a->isSeparator()) continue;
        named << a;
        plain << PlainCaption(a->text());
    }
    const QStringList marked = WithMnemonics(plain);
    for (qsizetype i = 0; i < named.size(); ++i) {
        named[i]->setText(marked[i]);
        if (QMenu* sub = named[i]->menu()) addTo(sub->actions());
    }
}

} // namespace

void AddMenuMnemonics(QMenuBar* bar) {
    if (bar) addTo(bar->actions());
}

} // namespace ecr::ui
