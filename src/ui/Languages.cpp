#include "Languages.h"

#include "Mnemonics.h"
#include "Texts.h"
#include "app/AppState.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QPushButton>
#include <QTranslator>
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

QString QtLocaleName(int langCode) {
    switch (langCode) {
    case 1: return QStringLiteral("zh_CN");
    case 2: return QStringLiteral("zh_TW");
    case 3: return QStringLiteral("en");
    case 4: return QStringLiteral("vi");
    case 5: return QStringLiteral("fa");
    case 6: return QStringLiteral("fr");
    case 7: return QStringLiteral("th");
    default: return {};
    }
}

namespace {

// The standard buttons' captions from the catalogue, in every language.
class CatalogueTranslator : public QTranslator {
public:
    int lang = 3;

    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char* disambiguation, int n) const override {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        // The generic theme's captions, and the GNOME theme's (with marks).
        if (!context || !source ||
            (qstrcmp(context, "QPlatformTheme") != 0 && qstrcmp(context, "QGnomeTheme") != 0))
            return {};
        struct Button {
            const char* caption; // Qt's own, without its mark
            int id;
        };
        static constexpr Button kButtons[] = {{"OK", 111000}, {"Cancel", 111010}, {"Yes", 111232},
                                              {"No", 111233}, {"Close", 111525},  {"Save", 111009}};
        const QString plainSource = PlainCaption(QString::fromLatin1(source));
        for (const Button& b : kButtons) {
            if (plainSource != QLatin1String(b.caption)) continue;
            const QString text = TextIn(lang, b.id).trimmed();
            if (text.isEmpty()) return {};
            // Qt's captions with a mark keep one, on the same letter where it can.
            const qsizetype mark = QByteArray(source).indexOf('&');
            return mark >= 0 ? ButtonCaption(text, QChar::fromLatin1(source[mark + 1])) : text;
        }
        return {};
    }
};

CatalogueTranslator& catalogueTranslator() {
    static auto* t = new CatalogueTranslator;
    return *t;
}

QTranslator& qtTranslator() {
    static auto* t = new QTranslator;
    return *t;
}

} // namespace

void ApplyInterfaceLanguage(int langCode) {
    ApplyLayoutDirection(langCode);
    QCoreApplication::removeTranslator(&catalogueTranslator());
    QCoreApplication::removeTranslator(&qtTranslator());
    const QString locale = QtLocaleName(langCode);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!locale.isEmpty() && qtTranslator().load(QStringLiteral("qtbase_") + locale, folder))
        QCoreApplication::installTranslator(&qtTranslator());
    catalogueTranslator().lang = IsLanguageCode(langCode) ? langCode : 3;
    // Installed last, asked first.
    QCoreApplication::installTranslator(&catalogueTranslator());
}

} // namespace ecr::ui
