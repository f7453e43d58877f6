#pragma once
// Records the codec and row tests share, so both sides check the same values.
#include "app/GlobalFunc.h"
#include "records/Journal.h"
#include "records/Plu.h"

namespace ecr::records::samples {

inline PluRecord tea() {
    PluRecord r;
    r.sid = 5;
    r.id = "019";
    r.name = "Tea";
    r.depart = 3;
    r.price = 7;
    r.memberprice = 6.5;
    r.averagePrice = 4.25;
    r.safestock = -2.5;
    r.stockvalue = 10.125;
    r.a0 = 1;
    return r;
}

inline JournalRecord sale() {
    JournalRecord r;
    r.sid = 3;
    r.billnumber = 42;
    r.pluid = "12";
    r.price = 12.34;
    r.quantity = 1.5;
    r.time = "2009-10-07 09:05:00";
    r.operation = 1;
    r.depart = 2;
    r.cashier = 3;
    r.opentable = 0;
    return r;
}

// One fiscal day record with the year in its own field.
inline Bytes fiscalRecord(int year, double sale = 100, double refund = 5, double tax = 14.53, int bill = 12,
                          int refunds = 1) {
    Bytes rec(32, 0xFF);
    NumberToBytes(sale, ByteSpan(rec).subspan(0, 4), 2, false);
    NumberToBytes(refund, ByteSpan(rec).subspan(4, 4), 2, false);
    NumberToBytes(tax, ByteSpan(rec).subspan(8, 4), 2, false);
    NumberToBytes(bill, ByteSpan(rec).subspan(12, 4), 0, false);
    NumberToBytes(refunds, ByteSpan(rec).subspan(16, 2), 0, false);
    NumberToBytes(year, ByteSpan(rec).subspan(18, 2), 0, false);
    return rec;
}

} // namespace ecr::records::samples
