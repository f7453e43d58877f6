#include "Languages.h"

#include "app/AppState.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontDatabase>
#include <QPushButton>
#include <QWidget>

namespace ecr::ui {

QString LanguageMenuCaption(int entryCode, int currentLang) {
    const bool chinese = currentLang == 1 || currentLang == 2;
    switch (entryCode) {
    case 1: return chinese ? QStringLiteral("中文") : QStringLiteral("Simplified Chinese");
    case 2: return chinese ? QStringLiteral("繁體") : QStringLiteral("Traditional Chinese");
    default:
        for (const auto& l : kLanguages)
            if (l.code == entryCode) return QString::fromUtf8(l.listText);
        return {};
    }
}

namespace {

// Interface fonts in order of preference; the first one installed is used,
// else the system font.
QString firstPresent(std::initializer_list<const char*> candidates) {
    const QStringList present = QFontDatabase::families();
    for (const char* c : candidates) {
        const QString name = QString::fromUtf8(c);
        if (present.contains(name, Qt::CaseInsensitive)) return name;
    }
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

} // namespace

QString InterfaceFontFamily(int langCode) {
    if (langCode == 1) return {};
    if (langCode == 2)
        return firstPresent({"新細明體", "PMingLiU", "AR PL UMing TW", "Noto Sans CJK TC", "WenQuanYi Micro Hei"});
    return firstPresent({"MS Sans Serif", "Microsoft Sans Serif", "DejaVu Sans", "Liberation Sans", "Noto Sans"});
}

void ApplyFormFont(QWidget* form, int langCode) {
    if (!form) return;
    QList<QWidget*> widgets = form->findChildren<QWidget*>();
    widgets.prepend(form);
    const QString family = InterfaceFontFamily(langCode);
    for (QWidget* w : widgets) {
        QFont f = w->font();
        if (family.isEmpty()) {
            // Back to the design font after another language set one; sizes and
            // weights chosen by the form stay.
            if (!w->testAttribute(Qt::WA_SetFont)) continue;
            const QFont design = QApplication::font(w);
            f.setFamilies(design.families());
            if (qobject_cast<QPushButton*>(w)) f.setPointSizeF(design.pointSizeF());
        } else {
            f.setFamilies({family});
            if (qobject_cast<QPushButton*>(w)) f.setPointSize(10);
        }
        w->setFont(f);
    }
}

void ApplyFormFont(QWidget* form) { ApplyFormFont(form, App().langCode); }

void ApplyLayoutDirection(int langCode) {
    QApplication::setLayoutDirection(langCode == 5 ? Qt::RightToLeft : Qt::LeftToRight);
}

} // namespace ecr::ui
