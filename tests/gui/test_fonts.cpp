// Interface fonts and direction by language.
#include "GuiFixture.h"
#include "ui/Languages.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace ecr::ui;

namespace {

struct FontTest : GuiFixture {
    QWidget form;
    QLabel* heading = new QLabel("heading", &form);
    QLabel* label = new QLabel("label", &form);
    QPushButton* button = new QPushButton("OK", &form);
    FontTest() {
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
    }
};

} // namespace

TEST_F(FontTest, FamiliesArePresentStandInsAndLanguage1KeepsTheDesign) {
    EXPECT_TRUE(InterfaceFontFamily(1).isEmpty());
    const QStringList present = QFontDatabase::families();
    for (int lang = 2; lang <= 7; ++lang) {
        EXPECT_FALSE(InterfaceFontFamily(lang).isEmpty()) << lang;
        EXPECT_TRUE(present.contains(InterfaceFontFamily(lang), Qt::CaseInsensitive)) << lang;
    }
    for (int lang = 4; lang <= 7; ++lang) EXPECT_EQ(InterfaceFontFamily(lang), InterfaceFontFamily(3)) << lang;
    const QFont before = button->font();
    ApplyFormFont(&form, 1);
    EXPECT_EQ(button->font(), before);
    EXPECT_FALSE(button->testAttribute(Qt::WA_SetFont));
}

TEST_F(FontTest, EveryControlTakesTheFontAndButtonsTen) {
    for (int lang : {2, 3, 5}) {
        ApplyFormFont(&form, lang);
        const QString family = InterfaceFontFamily(lang);
        for (QWidget* w : {static_cast<QWidget*>(&form), static_cast<QWidget*>(heading), static_cast<QWidget*>(label),
                           static_cast<QWidget*>(button)})
            EXPECT_EQ(w->font().family(), family) << lang << " " << w->metaObject()->className();
        EXPECT_EQ(button->font().pointSize(), 10) << lang;
        EXPECT_TRUE(heading->font().bold()) << lang;
    }
    // Back to language 1: design family and size, the form's own weight kept.
    ApplyFormFont(&form, 1);
    EXPECT_EQ(button->font().families(), QApplication::font(button).families());
    EXPECT_EQ(button->font().pointSizeF(), QApplication::font(button).pointSizeF());
    EXPECT_EQ(label->font().families(), QApplication::font(label).families());
    EXPECT_TRUE(heading->font().bold());
}

TEST_F(FontTest, OnlyFarsiIsRightToLeft) {
    for (int lang = 0; lang <= 8; ++lang) {
        ApplyLayoutDirection(lang);
        EXPECT_EQ(QApplication::layoutDirection(), lang == 5 ? Qt::RightToLeft : Qt::LeftToRight) << lang;
    }
}
