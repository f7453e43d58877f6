#include "RowsFixture.h"
#include "records/Params.h"
#include "records/rows/Tables.h"

using namespace ecr;
using namespace ecr::records;

namespace {

std::string textAt(const Bytes& page, int offset, int width) {
    return std::string(page.begin() + offset, page.begin() + offset + width);
}

std::string padded(const std::string& s, std::size_t width) { return s + std::string(width - s.size(), ' '); }

} // namespace

struct ParamsTest : RowsFixture {
    void SetUp() override {
        state.storeParameters = true;
        state.modelName = "CEDAR";
        state.dataVersion = 322;
        state.registerVersion = 100322;
    }
    void useLayoutA() {
        state.modelName = "BIRCH";
        state.dataVersion = 500;
        state.registerVersion = 100500;
    }
    // A row with every text column set to its own name (cut to the field).
    void insertRow() {
        db->execute("INSERT INTO params(PointEn) VALUES(2)");
        for (const auto& f : ParamTextFields(ParamLayout::B)) {
            std::string v = f.kind == ParamText::Digits ? "2013456789" : f.column.substr(0, std::size_t(f.writeWidth));
            db->execute("UPDATE params SET " + f.column + "=?", {v});
        }
        for (const auto& f : ParamTextFields(ParamLayout::A))
            if (f.kind == ParamText::Plain)
                db->execute("UPDATE params SET " + f.column + "=?", {f.column.substr(0, std::size_t(f.writeWidth))});
        db->execute("UPDATE params SET ManagerPwd='1234', Language=1, MachineNumber=7, TaxDefaultValue=17.5, "
                    "MemberScoreRule=0.01, ServiceChargeValue=2.125, UART_BPS=115200, ModeSelect0=1, "
                    "ModeSelect1=0, ModeSelect2=1, PayWay6ForeignCurrency=-3");
    }
};

TEST_F(ParamsTest, NumbersAndModeWordExactly) {
    insertRow();
    const Bytes page = build(kind::Params, 0);
    EXPECT_EQ(Bytes(page.begin() + 8, page.begin() + 16), (Bytes{1, 0, 0, 0, 0x02, 0, 0, 0})); // bit 1: ModeSelect1 = 0
    EXPECT_EQ(Bytes(page.begin() + 56, page.begin() + 60), (Bytes{7, 0, 0, 0}));
    EXPECT_EQ(Bytes(page.begin() + 92, page.begin() + 100), (Bytes{0xD6, 0x06, 0, 0, 0x01, 0, 0, 0}));
    EXPECT_EQ(Bytes(page.begin() + 128, page.begin() + 132), (Bytes{0xFD, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Bytes(page.begin() + 148, page.begin() + 156), (Bytes{0x4D, 0x08, 0, 0, 0x00, 0xC2, 0x01, 0x00}));
    // Offsets without a column stay 0xFF when no page was ever received.
    for (int off : {0, 7, 16, 19, 76, 83, 132, 143, 156, 279})
        EXPECT_EQ(page[static_cast<std::size_t>(off)], 0xFF) << off;
    // The mode word: a set bit stands for 0.
    Bytes p2 = page;
    NumberToBytes(0x05, ByteSpan(p2).subspan(12, 4), 0, false);
    const ParamValues v = DecodeParams(p2, ParamLayout::B, 322);
    EXPECT_EQ(v.numbers.at("ModeSelect0"), 0);
    EXPECT_EQ(v.numbers.at("ModeSelect1"), 1);
    EXPECT_EQ(v.numbers.at("ModeSelect2"), 0);
    EXPECT_EQ(v.numbers.at("ServiceChargeValue"), 2.125);
    EXPECT_EQ(v.numbers.at("PayWay6ForeignCurrency"), -3);
}

TEST_F(ParamsTest, LayoutBTextFieldsExactly) {
    insertRow();
    const Bytes page = build(kind::Params, 0);
    EXPECT_EQ(textAt(page, 280, 32), padded("NoteHead1", 32));
    EXPECT_EQ(page[280 + 42], 0x00);
    EXPECT_EQ(textAt(page, 280 + 43 * 8, 32), padded("NoteHead9", 32));
    EXPECT_EQ(textAt(page, 667, 32), padded("NoteEnd1", 32));
    EXPECT_EQ(textAt(page, 1054 + 43 * 5, 32), padded("UserNameAndAddress6", 32));
    EXPECT_EQ(page[1054 + 43 * 5 + 42], 0x00);
    EXPECT_EQ(textAt(page, 1312 + 33, 10), "Price6    ");
    EXPECT_EQ(textAt(page, 1356, 6), "4321  ");
    EXPECT_EQ(Bytes(page.begin() + 1363, page.begin() + 1373), (Bytes{2, 0, 1, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(textAt(page, 1404 + 77, 11), "Taste8     ");
    EXPECT_EQ(textAt(page, 1492, 20), padded("RegNo", 20));
    EXPECT_EQ(textAt(page, 1512, 40), padded("FiscalInfo", 40));
    EXPECT_EQ(textAt(page, 1552, 2), "Lo");
    EXPECT_EQ(textAt(page, 1554, 11), "Discount1Na");
    EXPECT_EQ(textAt(page, 1587, 11), "ServiceChar");
    EXPECT_EQ(page[1598], 0xFF);
}

TEST_F(ParamsTest, VersionDependentFields) {
    insertRow();
    for (int version : {320, 321, 322}) {
        SCOPED_TRACE(version);
        state.dataVersion = version;
        const Bytes page = build(kind::Params, 0);
        EXPECT_EQ(page[1512] == 'F', version >= 321);
        EXPECT_EQ(page[1552] == 'L', version >= 321);
        EXPECT_EQ(page[1554] == 'D', version >= 322);
        EXPECT_EQ(page[1576] == 'S', version >= 322);
        const ParamValues v = DecodeParams(page, ParamLayout::B, version);
        EXPECT_EQ(v.texts.count("FiscalInfo"), version >= 321 ? 1u : 0u);
        EXPECT_EQ(v.texts.count("LocalCurrencyAbbr"), version >= 321 ? 1u : 0u);
        EXPECT_EQ(v.texts.count("Discount2Name"), version >= 322 ? 1u : 0u);
        EXPECT_EQ(v.texts.count("ServiceCharge1Name"), version >= 322 ? 1u : 0u);
        // Stored with version 320, the fields that were not read are empty.
        ASSERT_EQ(store(kind::Params, page, 0), "");
        EXPECT_EQ(text("SELECT FiscalInfo FROM params"), version >= 321 ? "FiscalInfo" : "");
        EXPECT_EQ(text("SELECT Discount1Name FROM params"), version >= 322 ? "Discount1Na" : "");
        db->execute("DELETE FROM params");
        insertRow();
    }
}

TEST_F(ParamsTest, LayoutALinesThreeToNineRoundTrip) {
    useLayoutA();
    insertRow();
    const Bytes page = build(kind::Params, 0);
    EXPECT_EQ(textAt(page, 280, 32), padded("NoteHead1", 32));
    EXPECT_EQ(page[280 + 32], 0x00);
    EXPECT_EQ(textAt(page, 346 + 33, 32), padded("NoteEnd2", 32));
    EXPECT_EQ(textAt(page, 412 + 33 * 5, 32), padded("UserNameAndAddress6", 32));
    EXPECT_EQ(page[609], 0x00);
    EXPECT_EQ(textAt(page, 610, 10), "Price3    ");
    EXPECT_EQ(textAt(page, 654, 6), "4321  ");
    EXPECT_EQ(page[661], 2);
    EXPECT_EQ(textAt(page, 702, 11), "Taste1     ");
    EXPECT_EQ(textAt(page, 790, 32), padded("NoteEnd3", 32));
    EXPECT_EQ(textAt(page, 790 + 32 * 6, 32), padded("NoteEnd9", 32));
    EXPECT_EQ(textAt(page, 1014, 32), padded("NoteHead3", 32));
    EXPECT_EQ(textAt(page, 1014 + 32 * 6, 32), padded("NoteHead9", 32));
    EXPECT_EQ(textAt(page, 1238, 20), padded("RegNo", 20));
    EXPECT_EQ(page[1258], 0xFF);
    EXPECT_EQ(page[1512], 0xFF); // no fiscal information in layout A
    const auto before = db->query("SELECT * FROM params");
    ASSERT_EQ(store(kind::Params, page, 0), "");
    const auto after = db->query("SELECT * FROM params");
    for (const char* col : {"NoteHead3", "NoteHead5", "NoteHead9", "NoteEnd3", "NoteEnd4", "NoteEnd9", "RegNo",
                            "ManagerPwd", "InStoreCode", "UserNameAndAddress6", "Taste8"})
        EXPECT_EQ(after.at(0, col), before.at(0, col)) << col;
    EXPECT_EQ(after.at(0, "FiscalInfo").toText(), "");
    EXPECT_EQ(build(kind::Params, 0), page);
}

TEST_F(ParamsTest, LayoutBLongHeaderKeepsTheRegistersCharacters) {
    // The register's page holds a 42-character first header line.
    Bytes reg = blankPage();
    TextToBytes("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcdef", ByteSpan(reg).subspan(280, 42));
    reg[322] = 0x00;
    ASSERT_EQ(store(kind::Params, reg, 0), "");
    EXPECT_EQ(text("SELECT NoteHead1 FROM params"), "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcdef");
    db->execute("UPDATE params SET NoteHead1='Welcome to the shop, have a nice day!'");
    const Bytes page = build(kind::Params, 0);
    EXPECT_EQ(textAt(page, 280, 42), "Welcome to the shop, have a nice6789abcdef");
    EXPECT_EQ(page[322], 0x00);
}

TEST_F(ParamsTest, StoreFlagClearRefreshesOnlyTheStoredPage) {
    insertRow();
    state.storeParameters = false;
    Bytes reg = blankPage();
    reg[0] = 12;
    reg[40] = 3; // PointEn 3 in the register
    ASSERT_EQ(store(kind::Params, reg, 0), "");
    EXPECT_EQ(db->scalar("SELECT PointEn FROM params").toInt(), 2);
    EXPECT_EQ(count("params_all"), 1);
    EXPECT_EQ(text("SELECT substr(param_str,1,12) FROM params_all"), "12,255,255,2");
    // The download starts from that page: byte 0 has no column and is kept.
    const Bytes page = build(kind::Params, 0);
    EXPECT_EQ(page[0], 12);
    EXPECT_EQ(page[40], 2);
}

TEST_F(ParamsTest, PageToRowsToPageKeepsEveryByte) {
    // A register page: filler in every byte, then canonical fields on top.
    Bytes reg(kPageSize);
    for (std::size_t i = 0; i < reg.size(); ++i) reg[i] = static_cast<std::uint8_t>(i * 7 + 3);
    insertRow();
    const auto row = db->query("SELECT * FROM params");
    ParamValues v;
    for (std::size_t c = 0; c < row.columns.size(); ++c) {
        const auto& val = row.rows[0][c];
        if (val.isText()) v.texts[row.columns[c]] = val.toText();
        else v.numbers[row.columns[c]] = val.toDouble();
    }
    EncodeParams(v, reg, ParamLayout::B, 322);
    db->execute("DELETE FROM params");
    ASSERT_EQ(store(kind::Params, reg, 0), "");
    EXPECT_EQ(text("SELECT ManagerPwd FROM params"), "1234");
    EXPECT_EQ(text("SELECT InStoreCode FROM params"), "2013456789");
    EXPECT_EQ(build(kind::Params, 0), reg);
}

TEST_F(ParamsTest, BlankPageStoresZerosAndEmptyTexts) {
    ASSERT_EQ(store(kind::Params, blankPage(), 0), "");
    auto r = db->query("SELECT Language, PointEn, ModeSelect0, NoteHead1, InStoreCode, ManagerPwd FROM params");
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r.rows[0][0].toInt(), 0);
    EXPECT_EQ(r.rows[0][1].toInt(), 0);
    EXPECT_EQ(r.rows[0][2].toInt(), 1); // blank word reads 0: every mode on
    EXPECT_EQ(r.rows[0][3].toText(), "");
    EXPECT_EQ(r.rows[0][4].toText(), "");
    EXPECT_EQ(r.rows[0][5].toText(), "");
}

TEST_F(RowsFixture, ParameterColumnsAreThoseOfTheTable) {
    // Every column the page builder reads exists, in the order it reads it.
    std::vector<std::string> names;
    for (const auto& c : rows::ParamColumns()) names.push_back(c.name);
    EXPECT_EQ(names, db->columns("params"));
}
