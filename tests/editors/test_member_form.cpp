// The member editor driven by object name: the list, adding, modifying.
#include "FormsFixture.h"
#include "editors/MemberForm.h"

using namespace ecr;
using namespace ecr::editors;
using Icon = ecr::ui::Prompter::Icon;

namespace {

struct MemberFormTest : FormsFixture {
    void member(const std::string& code, const std::string& name, long long sid, double score = 0) {
        db->execute("INSERT INTO member(userid, username, useraddress, tel, score, addr, sid) VALUES(?,?,'','',?,0,?)",
                    {code, name, score, sid});
    }
};

} // namespace

TEST_F(MemberFormTest, TheListByCode) {
    member("2001", "Zoe", 1, 12.5);
    member("1001", "Maria O'Brien", 0, 310);
    MemberForm f;
    QTreeWidget* l = listOf(&f);
    ASSERT_EQ(l->topLevelItemCount(), 2);
    EXPECT_EQ(rowTexts(l->topLevelItem(0)), QStringList({"1001", "Maria O'Brien", "", "", "310"}));
    EXPECT_EQ(rowTexts(l->topLevelItem(1)), QStringList({"2001", "Zoe", "", "", "12.5"}));
}

TEST_F(MemberFormTest, AddStoresAsTypedAndOffersAnother) {
    std::string kSixteen;
    for (int i = 0; i < 16; ++i)
        kSixteen += "\u4F1F";
    member("1001", "Taken", 0);
    MemberForm f;
    f.show();
    prompter.answers = {true, false};
    auto seen = whenModal("frmMember_S", [&](QDialog* d) {
        EXPECT_EQ(text(d, "txtScore"), "0");
        EXPECT_EQ(focusName(d), "txtId");

        setText(d, "txtId", "2002");
        setText(d, "txtName", "Maria O'Brien");
        setText(d, "txtScore", "12.5");
        setText(d, "txtTel", "555-0142");
        setText(d, "txtAddress", "3 Harbour View");
        click(d, "cmdSave");
        EXPECT_EQ(prompter.shown.last().text, "S111111");
        EXPECT_EQ(prompter.shown.last().icon, Icon::Information);
        EXPECT_TRUE(prompter.shown.last().question);
        // Yes: everything emptied, the score "0", the focus in the code.
        for (const char* box : {"txtId", "txtName", "txtTel", "txtAddress"})
            EXPECT_EQ(text(d, box), "") << box;
        EXPECT_EQ(text(d, "txtScore"), "0");
        EXPECT_EQ(focusName(d), "txtId");
        setText(d, "txtId", "2003");
        setText(d, "txtName", QString(16, QChar(0x4F1F)));
        setText(d, "txtScore", "");
        click(d, "cmdSave");
        EXPECT_FALSE(d->isVisible());
    });
    click(&f, "cmdAdd");
    EXPECT_TRUE(*seen);
    EXPECT_EQ(db->query("SELECT userid, username, score, useraddress, tel, addr, sid FROM member ORDER BY sid").rows,
              (std::vector<std::vector<db::Value>>{{"1001", "Taken", 0.0, "", "", 0, 0},
                                                   {"2002", "Maria O'Brien", 12.5, "3 Harbour View", "555-0142", 0, 1},
                                                   {"2003", kSixteen, 0.0, "", "", 0, 2}}));
    ASSERT_EQ(listOf(&f)->topLevelItemCount(), 3);
    EXPECT_EQ(rowTexts(listOf(&f)->topLevelItem(2)),
              QStringList({"2003", QString::fromStdString(kSixteen), "", "", "0"}));
}

TEST_F(MemberFormTest, ADoubleClickModifiesTheRowKeepingItsCode) {
    member("1001", "Anna", 0, 5);
    member("1002", "Ben", 1, 7);
    MemberForm f;
    f.show();
    auto seen = whenModal("frmMember_S", [&](QDialog* d) {
        EXPECT_FALSE(child<QLineEdit>(d, "txtId")->isEnabled());
        EXPECT_EQ(text(d, "txtId"), "1002");
        EXPECT_EQ(text(d, "txtName"), "Ben");
        EXPECT_EQ(text(d, "txtScore"), "7");
        setText(d, "txtName", "");
        click(d, "cmdSave");
        EXPECT_EQ(prompter.shown.last().text, "S111252");
        setText(d, "txtName", "Ben O'Hara");
        setText(d, "txtScore", "99.5");
        click(d, "cmdSave");
        EXPECT_FALSE(d->isVisible());
    });
    emit listOf(&f)->itemDoubleClicked(listOf(&f)->topLevelItem(1), 0);
    EXPECT_TRUE(*seen);
    EXPECT_EQ(db->query("SELECT username, score, sid FROM member WHERE userid = '1002'").rows.at(0),
              (std::vector<db::Value>{"Ben O'Hara", 99.5, 1}));
    EXPECT_EQ(rowTexts(listOf(&f)->topLevelItem(1)), QStringList({"1002", "Ben O'Hara", "", "", "99.5"}));
}
