// The member editor driven by object name: captions, the list, the entry
// checks in order, places in the register's pages, modify and delete.
#include "FormsFixture.h"
#include "editors/MemberForm.h"

#include <QLabel>

using namespace ecr;
using namespace ecr::editors;
using Icon = ecr::ui::Prompter::Icon;

namespace {

struct MemberFormTest : FormsFixture {
    void member(const std::string& code, const std::string& name, long long sid, double score = 0) {
        db->execute("INSERT INTO member(userid, username, useraddress, tel, score, addr, sid) VALUES(?,?,'','',?,0,?)",
                    {code, name, score, sid});
    }
    // Members at every place of pages first..last.
    void fillPages(int first, int last) {
        db::Transaction t(*db);
        for (int p = first; p <= last; ++p)
            for (int i = 0; i < 32; ++i)
                member("9" + std::to_string(p * 100 + i), "M", p * 100 + i);
        t.commit();
    }
    long long count() { return db->scalar("SELECT count(*) FROM member").toInt(); }
    // Adds members through the entry form, answering Yes until the last one.
    void addInARow(MemberForm& f, int n) {
        prompter.answers.clear();
        for (int i = 1; i < n; ++i)
            prompter.answers << true;
        prompter.answers << false;
        auto seen = whenModal("frmMember_S", [&](QDialog* d) {
            for (int i = 0; i < n; ++i) {
                setText(d, "txtId", QString::number(5000 + i));
                setText(d, "txtName", "N");
                click(d, "cmdSave");
            }
        });
        click(&f, "cmdAdd");
        EXPECT_TRUE(*seen);
    }
};

} // namespace

TEST_F(MemberFormTest, CaptionsAndTheListByCode) {
    member("2001", "Zoe", 1, 12.5);
    member("1001", "Maria O'Brien", 0, 310);
    MemberForm f;
    EXPECT_EQ(f.windowTitle(), "S111243");
    const std::pair<const char*, const char*> captions[] = {
        {"cmdUpload", "S111014"}, {"cmdDownload", "S111015"}, {"cmdAdd", "S111017"},
        {"cmdModify", "S111018"}, {"cmdDelete", "S111016"},   {"cmdExit", "S111019"},
        {"cmdStop", "S111524"},   {"cmdContinue", "S111527"}, {"cmdClose", "S111525"}};
    for (auto [name, caption] : captions)
        EXPECT_EQ(child<QPushButton>(&f, name)->text(), caption) << name;
    EXPECT_EQ(child<QLabel>(&f, "Label7")->text(), "S111522:");
    EXPECT_EQ(child<QLabel>(&f, "Label8")->text(), "S111523:");
    EXPECT_EQ(f.findChild<QPushButton*>("cmdDelAll"), nullptr);
    EXPECT_EQ(f.findChild<QPushButton*>("cmdExcel"), nullptr);
    QTreeWidget* l = listOf(&f);
    QStringList headers;
    for (int c = 0; c < l->columnCount(); ++c)
        headers << l->headerItem()->text(c);
    EXPECT_EQ(headers, QStringList({"S111246", "S111247", "S111248", "S111249", "S111250"}));
    ASSERT_EQ(l->topLevelItemCount(), 2);
    EXPECT_EQ(rowTexts(l->topLevelItem(0)), QStringList({"1001", "Maria O'Brien", "", "", "310"}));
    EXPECT_EQ(rowTexts(l->topLevelItem(1)), QStringList({"2001", "Zoe", "", "", "12.5"}));
}

TEST_F(MemberFormTest, AddChecksInOrderStoresAsTypedAndOffersAnother) {
    std::string kSixteen;
    for (int i = 0; i < 16; ++i)
        kSixteen += "\u4F1F";
    member("1001", "Taken", 0);
    MemberForm f;
    f.show();
    prompter.answers = {true, false};
    auto seen = whenModal("frmMember_S", [&](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "S111241");
        const std::pair<const char*, const char*> labels[] = {{"Label1", "S111246:"},
                                                              {"Label2", "S111247:"},
                                                              {"Label3", "S111249:"},
                                                              {"Label4", "S111250:"},
                                                              {"Label5", "S111248:"}};
        for (auto [name, caption] : labels)
            EXPECT_EQ(child<QLabel>(d, name)->text(), caption) << name;
        EXPECT_EQ(text(d, "txtScore"), "0");
        EXPECT_EQ(focusName(d), "txtId");

        struct Case {
            QString id, name;
            QString message;
            const char* focus;
        };
        const Case refused[] = {
            {"", "Anna", "S111251", "txtId"},
            {"2002", "  ", "S111252", "txtName"},
            {"2002", QString(33, 'a'), "S120002 S111247 33 32", "txtName"},
            // Counted in the register's code page: two bytes a character.
            {"2002", QString(17, QChar(0x4F1F)), "S120002 S111247 34 32", "txtName"},
            {"1001", "Anna", "S111401", "txtId"},
        };
        for (const Case& c : refused) {
            setText(d, "txtId", c.id);
            setText(d, "txtName", c.name);
            const qsizetype mark = prompter.shown.size();
            click(d, "cmdSave");
            EXPECT_EQ(messagesSince(mark), QStringList({c.message})) << c.id.toStdString();
            EXPECT_EQ(focusName(d), c.focus) << c.id.toStdString();
        }
        EXPECT_EQ(count(), 1);

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

TEST_F(MemberFormTest, PlacesRunThirtyTwoAPageAndAFullTableRefusesTheAdd) {
    MemberForm f;
    f.show();
    addInARow(f, 33);
    const auto sids = db->query("SELECT sid FROM member ORDER BY sid").rows;
    ASSERT_EQ(sids.size(), 33u);
    EXPECT_EQ(sids.front()[0], db::Value(0));
    EXPECT_EQ(sids[31][0], db::Value(31));
    EXPECT_EQ(sids[32][0], db::Value(100));

    // The next place after the last page's last one is the lowest free one.
    db->execute("DELETE FROM member");
    fillPages(1, 31);
    addInARow(f, 1);
    EXPECT_EQ(db->scalar("SELECT sid FROM member WHERE userid = '5000'").toInt(), 0);

    // Every place taken: refused before the form opens, nothing stored.
    fillPages(0, 0);
    db->execute("DELETE FROM member WHERE userid = '5000'");
    ASSERT_EQ(count(), 32 * 32);
    auto seen = whenModal("frmMember_S", [](QDialog*) {});
    const qsizetype mark = prompter.shown.size();
    click(&f, "cmdAdd");
    EXPECT_EQ(messagesSince(mark), QStringList({"S120550"}));
    QTest::qWait(20);
    EXPECT_FALSE(*seen);
    EXPECT_EQ(count(), 32 * 32);

    // The last free place taken by "another": the form says so and closes.
    db->execute("DELETE FROM member WHERE sid = 3105");
    prompter.answers = {true};
    seen = whenModal("frmMember_S", [&](QDialog* d) {
        setText(d, "txtId", "7");
        setText(d, "txtName", "Last");
        const qsizetype m = prompter.shown.size();
        click(d, "cmdSave");
        EXPECT_EQ(messagesSince(m), QStringList({"S111111", "S120550"}));
        EXPECT_FALSE(d->isVisible());
    });
    click(&f, "cmdAdd");
    EXPECT_TRUE(*seen);
    EXPECT_EQ(db->scalar("SELECT sid FROM member WHERE userid = '7'").toInt(), 3105);
}

TEST_F(MemberFormTest, ModifyAndDeleteNeedARowAndSayNothingWithout) {
    member("1001", "Anna", 0, 5);
    member("1002", "Ben", 1, 7);
    MemberForm f;
    f.show();
    auto seen = whenModal("frmMember_S", [](QDialog*) {});
    click(&f, "cmdModify");
    click(&f, "cmdDelete");
    QTest::qWait(20);
    EXPECT_FALSE(*seen);
    EXPECT_TRUE(prompter.shown.isEmpty());

    // A double click opens the row; the code stays as it is.
    seen = whenModal("frmMember_S", [&](QDialog* d) {
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

    selectRow(&f, 0);
    prompter.answers = {false, true};
    click(&f, "cmdDelete");
    EXPECT_EQ(count(), 2);
    const qsizetype mark = prompter.shown.size();
    click(&f, "cmdDelete");
    EXPECT_EQ(messagesSince(mark), QStringList({"S111169\n1001 Anna"}));
    EXPECT_EQ(prompter.shown.last().icon, Icon::Information);
    EXPECT_FALSE(prompter.shown.last().defaultYes);
    EXPECT_EQ(db->scalar("SELECT group_concat(userid) FROM member").toText(), "1002");
    EXPECT_EQ(listOf(&f)->topLevelItemCount(), 1);
}
