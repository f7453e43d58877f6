// A hand-made journal for the report tests, English texts, installed as the
// program's database.
//
// Day 2024-03-05, three bills:
//   bill 1, cashier 1, 00:00:00 (the first second of the day): Apple sold
//     (codes 0 and 2), Cola sold (code 1) under the department's old name
//     "Beverages", a service charge (17), paid by bank card (32);
//   bill 2, cashier 2, lines at 10:15:00 and 10:16:30: Cola (0) under the new
//     name "Drinks", a bundle (department 0), Bread (6), a discount (16), paid
//     in payment medium 3 (34, US dollars at 7);
//   bill 3, cashier 1, 23:59:59 (the last second): Tea returned (8, 9; the
//     Tea room department has returns only), Apple (14) and Bread (10)
//     returned, amount off (18), surcharge (19), cheque (33), media 4 (35, no
//     rate), 5 (36, at 8) and 6 (37, at 3/2), and a line of code 12 that no
//     report reads.
// Never counted: a bill number 0 line, an open-table line, and lines one
// second before and after the day.
// Day 2024-03-07: 27 PLUs 201..227 sold 1..27 times, a bundle sold 100 times,
// and PLU 201 sold 50 times on bill 0.
#pragma once

#include "TempDir.h"
#include "app/AppState.h"
#include "db/Schema.h"
#include "reports/Reports.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

struct JournalFixture : ::testing::Test {
    TempDir dir;
    std::unique_ptr<ecr::db::Database> db = ecr::db::OpenOrCreate(dir.file("ecr.db"));

    static constexpr const char* kDay = "2024-03-05";

    JournalFixture() {
        ecr::App() = ecr::AppState{};
        ecr::App().conn = db.get();
        ecr::App().langCode = 3;
        db->executeScript(R"(
INSERT INTO depart(id, name, tax) VALUES (1, 'Food', 10), (2, 'Drinks', 0), (3, 'Tea room', 10);
INSERT INTO cashier(id, name) VALUES (1, 'Ann'), (2, 'Bob'), (3, '');
INSERT INTO params(Price3, Price4, Price5, Price6, PayWay3NativeCurrency, PayWay3ForeignCurrency,
                   PayWay4NativeCurrency, PayWay4ForeignCurrency, PayWay5NativeCurrency, PayWay5ForeignCurrency,
                   PayWay6NativeCurrency, PayWay6ForeignCurrency)
  VALUES ('USD', '', ' EUR ', '', 7, 1, 0, 0, 8, 1, 3, 2);
INSERT INTO plu(id, name, depart, price, memberprice, AveragePrice, safestock, stockvalue, sid) VALUES
  ('1', 'Apple', 1, 10, 9, 6, 10, 5, 0), ('2', 'Cola', 2, 5, 4.5, 2, 5, 5, 1),
  ('3', 'Tea', 3, 4, 4, 1.5, 0, -1, 2), ('4', 'Bread', 1, 3, 3, 1, NULL, NULL, 3);
INSERT INTO member(userid, username, score, useraddress, tel) VALUES
  ('M001', 'Ann', 100, '1 Main St', '0123'), ('M002', 'Bob', 150, '2 Main St', '0456'),
  ('M003', 'Cy', 0, '', ''), ('0004', 'Dee', 100.5, '4 Side St', '0789');
)");
        struct Line {
            int bill;
            const char* plu;
            const char* name;
            double unit, price, quantity;
            const char* time;
            int op, depart;
            const char* departName;
            double tax;
            int cashier, openTable;
        };
        const Line lines[] = {
            {1, "1", "Apple", 10, 20, 2, "2024-03-05 00:00:00", 0, 1, "Food", 10, 1, 0},
            {1, "2", "Cola", 5, 5, 1, "2024-03-05 00:00:00", 1, 2, "Beverages", 0, 1, 0},
            {1, "1", "Apple", 10, 10, 1, "2024-03-05 00:00:00", 2, 1, "Food", 10, 1, 0},
            {1, "", "", 0, 2, 0, "2024-03-05 00:00:00", 17, 0, "", 0, 1, 0},
            {1, "", "", 0, 37, 0, "2024-03-05 00:00:00", 32, 0, "", 0, 1, 0},
            {2, "2", "Cola", 5, 15, 3, "2024-03-05 10:15:00", 0, 2, "Drinks", 0, 2, 0},
            {2, "501", "Lunch set", 30, 30, 1, "2024-03-05 10:16:30", 0, 0, "", 0, 2, 0},
            {2, "4", "Bread", 3, 6, 2, "2024-03-05 10:16:30", 6, 1, "Food", 10, 2, 0},
            {2, "", "", 0, -3, 0, "2024-03-05 10:16:30", 16, 0, "", 0, 2, 0},
            {2, "", "", 0, 6, 0, "2024-03-05 10:16:30", 34, 0, "", 0, 2, 0},
            {3, "3", "Tea", 4, -4, -1, "2024-03-05 23:59:59", 8, 3, "Tea room", 10, 1, 0},
            {3, "1", "Apple", 10, -10, -1, "2024-03-05 23:59:59", 14, 1, "Food", 10, 1, 0},
            {3, "3", "Tea", 4, -8, -2, "2024-03-05 23:59:59", 9, 3, "Tea room", 10, 1, 0},
            {3, "4", "Bread", 3, -3, -1, "2024-03-05 23:59:59", 10, 1, "Food", 10, 1, 0},
            {3, "", "", 0, -1, 0, "2024-03-05 23:59:59", 18, 0, "", 0, 1, 0},
            {3, "", "", 0, 0.5, 0, "2024-03-05 23:59:59", 19, 0, "", 0, 1, 0},
            {3, "", "", 0, -25.5, 0, "2024-03-05 23:59:59", 33, 0, "", 0, 1, 0},
            {3, "", "", 0, 10, 0, "2024-03-05 23:59:59", 35, 0, "", 0, 1, 0},
            {3, "", "", 0, 5, 0, "2024-03-05 23:59:59", 36, 0, "", 0, 1, 0},
            {3, "", "", 0, 2, 0, "2024-03-05 23:59:59", 37, 0, "", 0, 1, 0},
            {3, "1", "Apple", 10, 99, 1, "2024-03-05 23:59:59", 12, 1, "Food", 10, 1, 0},
            {0, "1", "Apple", 10, 50, 5, "2024-03-05 12:00:00", 0, 1, "Food", 10, 1, 0},
            {4, "1", "Apple", 10, 70, 7, "2024-03-05 12:00:00", 0, 1, "Food", 10, 2, 1},
            {5, "1", "Apple", 10, 90, 9, "2024-03-04 23:59:59", 0, 1, "Food", 10, 1, 0},
            {6, "2", "Cola", 5, 45, 9, "2024-03-06 00:00:00", 0, 2, "Drinks", 0, 2, 0},
            {7, "601", "Party box", 1, 100, 100, "2024-03-07 09:00:00", 0, 0, "", 0, 1, 0},
            {0, "201", "Item 201", 1, 50, 50, "2024-03-07 09:00:00", 0, 1, "Food", 10, 1, 0},
        };
        ecr::db::Transaction tx(*db);
        auto& insert = db->prepared(
            "INSERT INTO plurecord(billnumber, pluid, pluname, unitprice, price, quantity, time, operation, depart,"
            " departname, taxvalue, cashier, opentable, sid) VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
        int sid = 0;
        for (const Line& l : lines)
            insert.run({l.bill, l.plu, l.name, l.unit, l.price, l.quantity, l.time, l.op, l.depart, l.departName,
                        l.tax, l.cashier, l.openTable, sid++});
        auto& plu = db->prepared("INSERT INTO plu(id, name, depart, price, AveragePrice, sid) VALUES(?,?,1,1,0.5,?)");
        for (int i = 1; i <= 27; ++i) {
            const std::string code = std::to_string(200 + i);
            plu.run({code, "Item " + code, 100 + i});
            insert.run({8 + i, code, "Item " + code, 1, double(i), double(i), "2024-03-07 10:00:00", 0, 1, "Food", 10,
                        2, 0, sid++});
        }
        tx.commit();
    }
    ~JournalFixture() override { ecr::App() = ecr::AppState{}; }

    static ecr::reports::ReportQuery day(const char* date = kDay) {
        ecr::reports::ReportQuery q;
        q.period = {std::string(date) + " 00:00:00", std::string(date) + " 23:59:59"};
        return q;
    }
    static std::vector<std::vector<std::string>> rows(const ecr::reports::Document& d) {
        std::vector<std::vector<std::string>> out;
        for (std::size_t r = 0; r < d.rowCount(); ++r) out.push_back(d.row(r));
        return out;
    }
    // "caption=value" per total, in print order.
    static std::vector<std::string> totals(const ecr::reports::Document& d) {
        std::vector<std::string> out;
        for (const auto& t : d.totals) out.push_back(t.caption + "=" + t.text);
        return out;
    }
    static std::vector<std::string> captions(const ecr::reports::Document& d) {
        std::vector<std::string> out;
        for (const auto& c : d.columns) out.push_back(c.caption);
        return out;
    }
};
