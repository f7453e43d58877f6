#include "Texts.h"

#include "app/AppState.h"
#include "app/Messages.h"

#include <QRegularExpression>

namespace ecr::ui {

QString Text(int id) { return QString::fromStdString(Msg(id)); }

QString TextIn(int langCode, int id) {
    if (!App().conn) return {};
    return QString::fromStdString(GetMessage(*App().conn, langCode, id));
}

QString MenuCaption(const QString& text) {
    static const QRegularExpression placeholder(QStringLiteral("%[1-9]"));
    QString t = text;
    t.remove(placeholder);
    return t;
}

QString FieldLabel(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty() || t.endsWith(u':') || t.endsWith(u'\uFF1A')) return text;
    return t + u':';
}

QString LiteralCaption(const QString& text) {
    QString t = text;
    t.replace(u'&', QStringLiteral("&&"));
    return t;
}

} // namespace ecr::ui
