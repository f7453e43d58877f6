// Every form the main window opens, with the program's real catalogue in
// each interface language: it fits a 1024 x 768 screen, Enter presses no
// button that deletes or overwrites, and the menus carry mnemonics.
#include "GuiFixture.h"
#include "gui/FormRegistry.h"
#include "gui/MainWindow.h"

#include <QDialog>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

using namespace ecr;
using namespace ecr::gui;
using namespace ecr::ui;

namespace {

struct RealCatalogueTest : RealCatalogueFixture {
    FormRegistry forms;
    RealCatalogueTest() { RegisterStandardForms(forms); }
};

// What a shown form looks like, taken while it is open.
struct Looks {
    QString name;
    QSize size, minimum;
    QStringList defaultButtons;
};

Looks open(const FormRegistry& forms, const QString& name) {
    Looks looks;
    auto* timer = new QTimer;
    timer->setInterval(1);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, &looks] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!d) return;
        timer->stop();
        looks.name = d->objectName();
        looks.size = d->size();
        looks.minimum = d->minimumSizeHint().expandedTo(d->minimumSize());
        for (QPushButton* b : d->findChildren<QPushButton*>())
            if (b->isDefault() || b->autoDefault()) looks.defaultButtons << b->objectName();
        d->reject();
    });
    timer->start();
    forms.open(name, nullptr);
    delete timer;
    return looks;
}

} // namespace

TEST_F(RealCatalogueTest, EveryFormFitsA1024By768ScreenAndEnterPressesNothingThatDeletes) {
    // The screen less a window's frame and a panel: what a form may ask for.
    const QSize room(1024 - 16, 768 - 40);
    const QRegularExpression destructive("Del|Download|Clear|Init|Restore|Replace", QRegularExpression::CaseInsensitiveOption);
    const QStringList names = forms.names();
    ASSERT_GE(names.size(), 20);
    for (int lang = 1; lang <= 7; ++lang) {
        speak(lang);
        for (const QString& name : names) {
            if (!name.startsWith(u"frm")) continue; // an action with a question, not a window
            const Looks looks = open(forms, name);
            const std::string where = name.toStdString() + " in language " + std::to_string(lang);
            ASSERT_FALSE(looks.name.isEmpty()) << where << " did not open";
            EXPECT_LE(looks.size.width(), room.width()) << where;
            EXPECT_LE(looks.size.height(), room.height()) << where;
            EXPECT_LE(looks.minimum.width(), room.width()) << where;
            EXPECT_LE(looks.minimum.height(), room.height()) << where;
            for (const QString& b : looks.defaultButtons)
                EXPECT_FALSE(destructive.match(b).hasMatch()) << where << ": Enter presses " << b.toStdString();
        }
    }
}

TEST_F(RealCatalogueTest, MenusHaveMnemonicsInEveryLanguageThatHasLetters) {
    for (int lang = 1; lang <= 7; ++lang) {
        speak(lang);
        MainWindow w(forms);
        QList<QList<QAction*>> menus{w.menuBar()->actions()};
        int marked = 0, entries = 0;
        QStringList unmarked;
        while (!menus.isEmpty()) {
            const QList<QAction*> siblings = menus.takeFirst();
            QSet<QKeySequence> keys;
            for (QAction* a : siblings) {
                if (a->isSeparator()) continue;
                if (a->menu()) menus << a->menu()->actions();
                ++entries;
                const QKeySequence key = QKeySequence::mnemonic(a->text());
                if (key.isEmpty()) {
                    unmarked << a->objectName() + "=" + a->text();
                    continue;
                }
                ++marked;
                EXPECT_FALSE(keys.contains(key)) << lang << " " << a->objectName().toStdString() << " "
                                                 << a->text().toStdString();
                keys.insert(key);
            }
        }
        EXPECT_GT(entries, 40);
        // Alphabets: every entry. Chinese: those with Latin letters (PLU, ...).
        if (lang >= 3)
            EXPECT_EQ(marked, entries) << "language " << lang << ": " << unmarked.join(", ").toStdString();
        else
            EXPECT_GT(marked, 0) << "language " << lang;
    }
}
