// The fixture of the forms' transfers against the simulated register on a
// pseudo-terminal: the real serial transport, the engine on a clock the test
// moves, faults by rule.
#pragma once

#include "SimLinkFixture.h"
#include "editors/CashierForm.h"
#include "editors/DepartForm.h"
#include "editors/PluForm.h"
#include "records/Cashier.h"
#include "records/Department.h"
#include "records/Plu.h"
#include "ui/ProgressPanel.h"
#include "ui/Texts.h"
#include "ui/Transfers.h"

#include <QLabel>
#include <QProgressBar>

#include <map>

using namespace ecr;
using namespace ecr::editors;
using namespace ecr::ui;
using Icon = ecr::ui::Prompter::Icon;
namespace kind = ecr::records::kind;

// A form that is no list: it takes part in transfers through TransferHost alone.
struct PlainHost : ui::TransferHost {
    QDialog form;
    QList<bool> enabledCalls;
    int reloads = 0;
    PlainHost() { form.setObjectName("frmPlain"); }
    QWidget* hostWidget() override { return &form; }
    void setControlsEnabled(bool e) override { enabledCalls << e; }
    void reloadAfterRead() override { ++reloads; }
};

struct SimTransferTest : SimLinkFixture {
    int questions(const QString& text) const {
        int n = 0;
        for (const auto& s : prompter.shown) n += s.question && s.text == text;
        return n;
    }
    static bool enabled(QWidget* f, const char* name) { return child<QWidget>(f, name)->isEnabled(); }
    static bool panelUp(QWidget* f) { return child<QWidget>(f, "fraProgress")->isVisible(); }

    static records::PluRecord pluRecord(int sid, const std::string& id, const std::string& name) {
        records::PluRecord r;
        r.sid = sid;
        r.id = id;
        r.name = name;
        r.depart = 2;
        r.price = 1.5 + sid;
        r.stockvalue = 10;
        return r;
    }
    // PLU pages in the register, records at the given sids.
    void registerPlus(const std::vector<records::PluRecord>& plus) {
        std::map<int, Bytes> pages;
        for (const auto& r : plus) {
            Bytes& page = pages.try_emplace(kind::Plu + r.sid / 100, Bytes(records::kPageSize, 0xFF)).first->second;
            EXPECT_TRUE(records::EncodePlu(r, ByteSpan(page).subspan((r.sid % 100) * records::kPluRecordSize,
                                                                         records::kPluRecordSize), 2));
        }
        for (auto& [addr, page] : pages) memory.write(addr, page);
    }
};

