// Members, promotions and bundles between the forms and the simulated
// register on a pseudo-terminal: the demo pages read, one row changed on the
// form, written back and compared byte by byte.
#include "SimLinkFixture.h"
#include "editors/BundleForm.h"
#include "editors/MemberForm.h"
#include "editors/PromotionForm.h"
#include "link/Clock.h"
#include "link/SerialTransport.h"
#include "link/TransferEngine.h"
#include "records/Bundle.h"
#include "records/Fields.h"
#include "records/Member.h"
#include "records/PageKinds.h"
#include "records/Promotion.h"
#include "records/rows/DbPageIO.h"
#include "sim/DemoRecords.h"
#include "sim/SimServer.h"
#include "ui/RegisterLink.h"
#include "ui/Transfers.h"

#include <QDateTimeEdit>

#include <chrono>

using namespace ecr;
using namespace ecr::editors;
namespace kind = ecr::records::kind;

namespace {

struct OfferTransferTest : SimLinkFixture {
    bool shown(const QString& text) const { return messagesSince(0).contains(text); }
    // Runs the button's transfer to its completion message.
    void transfer(QWidget* f, const char* button, const char* done) {
        const qsizetype mark = prompter.shown.size();
        click(f, button);
        ASSERT_TRUE(runUntil([&] { return messagesSince(mark).contains(done); })) << button;
    }
    // Every request of pages base..base+pages-1 once, none beyond.
    void expectEachPageOnce(int base, int pages) {
        for (int a = base; a < base + pages; ++a) EXPECT_EQ(reg.requests(a), 1) << a;
        EXPECT_EQ(reg.requests(base + pages), 0);
    }
    // The page with one record put in place of what it held.
    static Bytes withRecord(Bytes page, int index, int size, const std::function<void(ByteSpan)>& encode) {
        ByteSpan rec = ByteSpan(page).subspan(static_cast<std::size_t>(index * size), static_cast<std::size_t>(size));
        std::fill(rec.begin(), rec.end(), 0xFF);
        encode(rec);
        return page;
    }
};

} // namespace

TEST_F(OfferTransferTest, MembersReadChangedOnTheFormAndWrittenBack) {
    sim::FillDemoMembers(memory);
    const Bytes demo = memory.read(kind::Member);
    // What the table held before is replaced by the register's members.
    db->execute("INSERT INTO member(userid, username, score, addr, sid) VALUES('1', 'Stale', 0, 0, 7)");
    MemberForm f;
    f.show();
    transfer(&f, "cmdUpload", "S111235");
    expectEachPageOnce(kind::Member, 32);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM member").toInt(), 6);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM member WHERE userid = '1'").toInt(), 0);
    ASSERT_EQ(listOf(&f)->topLevelItemCount(), 6); // read again after the upload
    EXPECT_EQ(rowTexts(listOf(&f)->topLevelItem(5)),
              QStringList({"13912345678", "Maria O'Brien", "3 Harbour View", "555-0142", "310"}));

    selectRow(&f, 5);
    auto seen = whenModal("frmMember_S", [&](QDialog* d) {
        setText(d, "txtName", "Maria O'Brien-Li");
        setText(d, "txtScore", "1310");
        setText(d, "txtTel", "");
        click(d, "cmdSave");
    });
    click(&f, "cmdModify");
    ASSERT_TRUE(*seen);
    memory.write(kind::Member, Bytes(records::kPageSize, 0xFF));
    transfer(&f, "cmdDownload", "S111118");
    const records::MemberRecord changed{1, "13912345678", "Maria O'Brien-Li", "3 Harbour View", "", 1310, 0};
    EXPECT_EQ(memory.read(kind::Member), withRecord(demo, 1, records::kMemberRecordSize, [&](ByteSpan rec) {
                  ASSERT_TRUE(records::EncodeMember(changed, rec));
              }));
    EXPECT_EQ(memory.read(kind::Member + 1), Bytes(records::kPageSize, 0xFF));

    // Pages typed past the last one are cut to it.
    auto* paged = f.findChild<ui::PagedTransfer*>();
    ASSERT_NE(paged, nullptr);
    setText(&f, "txtStartPage", "1");
    setText(&f, "txtEndPage", "40");
    const int lastBefore = reg.requests(kind::Member + 31);
    const qsizetype mark = prompter.shown.size();
    paged->readPages();
    EXPECT_EQ(text(&f, "txtEndPage"), "32");
    ASSERT_TRUE(runUntil([&] { return messagesSince(mark).contains("S111235"); }));
    EXPECT_EQ(text(&f, "txtStartPage"), "32");
    EXPECT_EQ(reg.requests(kind::Member + 31), lastBefore + 1);
    EXPECT_EQ(reg.requests(kind::Member + 32), 0);
    EXPECT_EQ(db->scalar("SELECT username FROM member WHERE sid = 1").toText(), "Maria O'Brien-Li");
}

TEST_F(OfferTransferTest, PromotionsReadChangedOnTheFormAndWrittenBack) {
    sim::FillDemoPromotions(memory);
    const Bytes demo = memory.read(kind::Promotion);
    PromotionForm f;
    f.show();
    transfer(&f, "cmdUpload", "S111235");
    expectEachPageOnce(kind::Promotion, 8);
    ASSERT_EQ(listOf(&f)->topLevelItemCount(), 4);
    EXPECT_EQ(rowTexts(listOf(&f)->topLevelItem(2)), QStringList({"Coffee + croissant", "9003", "2009-10-01",
                                                                  "2009-12-31", "1", "2.20", "2000002", "1"}));
    selectRow(&f, 2);
    auto seen = whenModal("frmPromotion_S", [&](QDialog* d) {
        child<QDateTimeEdit>(d, "dtpEndDate")->setDate(QDate(2010, 1, 15));
        setText(d, "txtDiscountPrice", "1.95");
        setText(d, "txtPresentQuantity", "2");
        click(d, "cmdSave");
    });
    click(&f, "cmdModify");
    ASSERT_TRUE(*seen);
    memory.write(kind::Promotion, Bytes(records::kPageSize, 0xFF));
    transfer(&f, "cmdDownload", "S111118");
    const records::PromotionRecord changed{2,       "9003",    "2009-10-01 07:00:00", "2010-01-15 10:00:00", 1, 1.95,
                                           "2000002", 2,       "Coffee + croissant"};
    EXPECT_EQ(memory.read(kind::Promotion), withRecord(demo, 2, records::kPromotionRecordSize, [&](ByteSpan rec) {
                  ASSERT_TRUE(records::EncodePromotion(changed, rec, 2));
              }));
}

TEST_F(OfferTransferTest, BundlesReadChangedOnTheFormAndWrittenBack) {
    sim::FillDemoBundles(memory);
    const Bytes demo = memory.read(kind::Bundle);
    BundleForm f;
    f.show();
    transfer(&f, "cmdUpload", "S111235");
    expectEachPageOnce(kind::Bundle, 16);
    ASSERT_EQ(listOf(&f)->topLevelItemCount(), 3);
    EXPECT_EQ(listOf(&f)->topLevelItem(2)->text(5), "1.5");
    selectRow(&f, 2);
    auto seen = whenModal("frmBundle_S", [&](QDialog* d) {
        setText(d, "txtBundleName", "Fruit basket XL");
        setText(d, "txtPrice", "6.25");
        setText(d, "txtPluID3", "23");
        setText(d, "txtQuantity3", "0.75");
        click(d, "cmdSave");
    });
    click(&f, "cmdModify");
    ASSERT_TRUE(*seen);
    memory.write(kind::Bundle, Bytes(records::kPageSize, 0xFF));
    transfer(&f, "cmdDownload", "S111118");
    records::BundleRecord changed;
    changed.sid = 2;
    changed.bundlenumber = "503";
    changed.bundlename = "Fruit basket XL";
    changed.price = 6.25;
    changed.items[0] = {"21", 1.5};
    changed.items[1] = {"22", 1};
    changed.items[2] = {"23", 0.75};
    EXPECT_EQ(memory.read(kind::Bundle), withRecord(demo, 2, records::kBundleRecordSize, [&](ByteSpan rec) {
                  ASSERT_TRUE(records::EncodeBundle(changed, rec));
              }));
}
