// The check before a download: every row that cannot be encoded or placed,
// with its field and reason, for every kind that is written.
#include "RowsFixture.h"
#include "records/PageKinds.h"
#include "records/rows/DbPageIO.h"
#include "records/rows/RowMessages.h"

using namespace ecr;
using namespace ecr::records;
using link::RowProblem;

namespace {

struct CheckCase {
    const char* what;
    std::vector<std::string> setup;
    int kind;
    int first, last, pageCount;
    std::vector<RowProblem> expected;
};

LimitProblem range(std::string value, std::string lo, std::string hi) {
    return {limitmsg::OutOfRange, {std::move(value), std::move(lo), std::move(hi)}};
}
LimitProblem tooLong(int bytes, int holds) {
    return {limitmsg::TooLong, {std::to_string(bytes), std::to_string(holds)}};
}
const LimitProblem kBadCode{limitmsg::BadCode, {}};

} // namespace

TEST_F(RowsFixture, RowsThatCannotBeWrittenAreListedWithFieldAndReason) {
    const std::string price = "-21474836.48", top = "21474836.47";
    const std::string plu = "INSERT INTO plu(id,name,depart,price,memberprice,AveragePrice,safestock,stockvalue,a0,sid) ";
    const CheckCase cases[] = {
        {"a clean PLU", {plu + "VALUES('6901234567892','Water',1,0.89,0.8,0.5,2,10,0,0)"}, kind::Plu, 0, 159, 160, {}},
        {"PLU fields the register cannot hold",
         {plu + "VALUES('12abc','Phở bò',300,99999999,25000000,0,0,0,0,5)"},
         kind::Plu, 0, 159, 160,
         {{kind::Plu, "12abc", "id", kBadCode},
          {kind::Plu, "12abc", "name", {limitmsg::Unencodable, {"ở"}}},
          {kind::Plu, "12abc", "depart", range("300", "0", "100")},
          {kind::Plu, "12abc", "price", range("99999999", price, top)},
          {kind::Plu, "12abc", "memberprice", range("25000000", price, top)}}},
        {"a 17-digit code and a stock that wraps",
         {plu + "VALUES('12345678901234567','Long',1,1,0,0,0,2147484,0,6)"},
         kind::Plu, 0, 159, 160,
         {{kind::Plu, "12345678901234567", "id", kBadCode},
          {kind::Plu, "12345678901234567", "stockvalue", range("2147484", "-2147483.647", "2147483.647")}}},
        {"PLUs no page holds: beyond the keyboard's pages, past the page's records",
         {plu + "VALUES('1','Beyond',1,1,0,0,0,0,0,6400)", plu + "VALUES('2','Past',1,1,0,0,0,0,0,170)",
          plu + "VALUES('3','Fine',1,1,0,0,0,0,0,6363)"},
         kind::Plu, 0, 63, 64,
         {{kind::Plu, "2", "sid", {rows::msg::SlotOutside, {"170", "64", "64"}}},
          {kind::Plu, "1", "sid", {rows::msg::SlotOutside, {"6400", "64", "64"}}}}},
        {"rows of pages outside the range are not checked, unplaceable ones always",
         {plu + "VALUES('1','Phở',1,1,0,0,0,0,0,500)", plu + "VALUES('2','Past',1,1,0,0,0,0,0,170)"},
         kind::Plu, 0, 1, 160,
         {{kind::Plu, "2", "sid", {rows::msg::SlotOutside, {"170", "160", "64"}}}}},
        {"departments",
         {"INSERT INTO depart(id,name,price,tax,addr,KitchenEn) VALUES(5,'Chloé Martin-Dubois-Lefebvre',1,9,5,0)",
          "INSERT INTO depart(id,name,price,tax,addr,KitchenEn) VALUES(101,'Extra',1,9,300,0)"},
         kind::Depart, 0, 0, 1,
         {{kind::Depart, "5", "name", tooLong(29, 20)},
          {kind::Depart, "101", "id", range("101", "0", "100")},
          {kind::Depart, "101", "addr", range("300", "0", "255")}}},
        {"cashiers",
         {"INSERT INTO cashier(id,name,passwd) VALUES(1,'Ann','1234567')",
          "INSERT INTO cashier(id,name,passwd) VALUES(100,'Bob','1')"},
         kind::Cashier, 0, 0, 1,
         {{kind::Cashier, "1", "passwd", tooLong(7, 6)}, {kind::Cashier, "100", "id", range("100", "0", "99")}}},
        {"members",
         {"INSERT INTO member(userid,username,useraddress,tel,score,addr,sid) VALUES('77','Li','','',3000000000,0,3)",
          "INSERT INTO member(userid,username,useraddress,tel,score,addr,sid) VALUES('78','Ok','','',1,0,3200)"},
         kind::Member, 0, 31, 32,
         {{kind::Member, "77", "score", range("3000000000", "-2147483648", "2147483647")},
          {kind::Member, "78", "sid", {rows::msg::SlotOutside, {"3200", "32", "32"}}}}},
        {"bundle items",
         {"INSERT INTO bundle(bundlenumber,bundlename,price,sid,plu3number,plu3quantity) "
          "VALUES('500','Menu',5,0,'x1',9999999)"},
         kind::Bundle, 0, 15, 16,
         {{kind::Bundle, "500", "plu3number", kBadCode},
          {kind::Bundle, "500", "plu3quantity", range("9999999", "-2147483.648", "2147483.647")}}},
        {"promotions",
         {"INSERT INTO promotion(address,promotionname,pluid,sdate,edate,quantity,discountprice,PresentPluId,"
          "PresentQuantity) VALUES(40,'A name of 21 letters.','12','2009-10-01','2009-10-02',1,0,'',0)"},
         kind::Promotion, 0, 7, 8,
         {{kind::Promotion, "40", "promotionname", tooLong(21, 20)}}},
        {"keys: only keys with a function are written",
         {"INSERT INTO hotkey(keyaddress,content,content2,function) VALUES(3,1,0,'PP')",
          "INSERT INTO hotkey(keyaddress,content,content2,function) VALUES(400,1,0,'')"},
         kind::Keyboard, 0, 0, 1,
         {{kind::Keyboard, "3", "function", tooLong(2, 1)}}},
        {"parameters",
         {"INSERT INTO params(PointEn,NoteHead1,MachineNumber) "
          "VALUES(2,'A first header line of more than 32 bytes',3000000000)"},
         kind::Params, 0, 0, 1,
         {{kind::Params, "", "NoteHead1", tooLong(41, 32)},
          {kind::Params, "", "MachineNumber", range("3000000000", "-2147483648", "2147483647")}}},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.what);
        for (const char* t : {"plu", "depart", "cashier", "member", "bundle", "promotion", "hotkey", "params"})
            db->execute(std::string("DELETE FROM ") + t);
        for (const auto& sql : c.setup) db->execute(sql);
        rows::DbPageIO io(*db, state);
        EXPECT_EQ(io.checkRows(c.kind, c.first, c.last, c.pageCount), c.expected);
    }
}
