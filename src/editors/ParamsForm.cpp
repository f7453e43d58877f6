#include "ParamsForm.h"

#include "Log.h"
#include "ParamsFields.h"
#include "app/Config.h"
#include "app/GlobalFunc.h"
#include "db/Database.h"
#include "ui/Controls.h"
#include "ui/ErrorTrap.h"
#include "ui/Languages.h"
#include "ui/Prompter.h"
#include "ui/RegisterLink.h"
#include "ui/Texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

namespace ecr::editors {

using namespace ecr::ui;

namespace {
const char* const kButtons[] = {"cmdModify", "cmdUpload", "cmdDownload", "cmdUpdateTime", "cmdExit"};
}

ParamsForm::ParamsForm(QWidget* parent) : QDialog(parent) {
    setObjectName("frmPara");
    setWindowTitle(Text(110011));
    fields_ = std::make_unique<FieldForm>(this, ParamFieldTable());
    transfer_ = new SinglePageTransfer(*this, "params");

    auto* cmdModify = MakeButton(this, "cmdModify", 111009);
    auto* cmdUpload = MakeButton(this, "cmdUpload", 111014);
    auto* cmdDownload = MakeButton(this, "cmdDownload", 111015);
    auto* cmdUpdateTime = MakeButton(this, "cmdUpdateTime", 111413);
    auto* cmdExit = MakeButton(this, "cmdExit", 111019);
    auto* buttons = TrailingButtons({cmdModify, cmdUpload, cmdDownload, cmdUpdateTime, cmdExit});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields_->layout());
    layout->addLayout(buttons);
    if (QWidget* last = fields_->lastInTabOrder()) setTabOrder(last, cmdModify);
    ApplyFormFont(this);

    connect(cmdModify, &QPushButton::clicked, this, &ParamsForm::cmdModify_Click);
    connect(cmdUpload, &QPushButton::clicked, this, &ParamsForm::cmdUpload_Click);
    connect(cmdDownload, &QPushButton::clicked, this, &ParamsForm::cmdDownload_Click);
    connect(cmdUpdateTime, &QPushButton::clicked, this, &ParamsForm::cmdUpdateTime_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::reject);

    // At most one of the three duplicate printing options is on.
    auto* zfSg = fields_->control<QComboBox>("cboZfSg");
    auto* bill = fields_->control<QCheckBox>("chkBillPrintDouble");
    auto* goods = fields_->control<QCheckBox>("chkGoodsPrintDouble");
    connect(zfSg, &QComboBox::currentIndexChanged, this, [bill, goods](int index) {
        if (index != 1) return;
        bill->setChecked(false);
        goods->setChecked(false);
    });
    for (auto [box, other] : {std::pair{bill, goods}, std::pair{goods, bill}}) {
        connect(box, &QCheckBox::toggled, this, [zfSg, other](bool on) {
            if (!on) return;
            other->setChecked(false);
            zfSg->setCurrentIndex(0);
        });
    }

    applyVersionRules();
    FillData();
}

ParamsForm::~ParamsForm() = default;

void ParamsForm::applyVersionRules() {
    const long long version = App().registerVersion;
    fields_->control<QLabel>("Label108")->setText(RegisterVersionText(version));
    for (const char* box : {"chkCopyBill", "chkBillPrintDouble", "chkGoodsPrintDouble"})
        fields_->control(box)->setEnabled(IsVersion320To400(version));
    fields_->refreshItems();
}

bool ParamsForm::refreshVersion() {
    bool refreshed = false;
    Trapped(this, Where(*this, "RefreshRegisterVersion"), [&] { refreshed = RefreshRegisterVersion(Db(), App()); });
    applyVersionRules();
    return refreshed;
}

void ParamsForm::FillData() {
    // The duplicate printing options show what is stored; the exclusion
    // acts on the user's changes.
    const QSignalBlocker zfSg(fields_->control("cboZfSg")), bill(fields_->control("chkBillPrintDouble")),
        goods(fields_->control("chkGoodsPrintDouble"));
    fields_->loadInitial();
    Trapped(this, Where(*this, "FillData"), [this] {
        const db::Rows rows = Db().query("SELECT * FROM params LIMIT 1");
        if (!rows.empty()) fields_->load(rows);
    });
    App().taxDefault = NumericValue(fields_->control<QLineEdit>("txtTaxDefaultValue")->text().toStdString());
    for (const char* mode : {"chkModeSelect(0)", "chkModeSelect(1)", "chkModeSelect(2)"})
        fields_->control<QCheckBox>(mode)->setChecked(true);
    fields_->control<QComboBox>("cboLanguage")->setCurrentIndex(App().langCode == 1 ? 0 : 1);
}

bool ParamsForm::Save() {
    // The page's fields have fixed decimals: the price setting plays no part.
    if (const auto refusal = fields_->check(2)) {
        InformText(this, refusal->text);
        FocusField(fields_->control(refusal->object));
        return false;
    }
    const RowValues values = fields_->values();
    return Trapped(this, Where(*this, "cmdModify_Click"), [&] {
        db::Transaction t(Db());
        Db().execute("DELETE FROM params");
        InsertRow(Db(), "params", values);
        t.commit();
        qCDebug(lcEditors) << "params saved";
    });
}

void ParamsForm::SetControlsEnabled(bool enabled) {
    findChild<QTabWidget*>("SSTab1")->setEnabled(enabled);
    for (const char* name : kButtons) findChild<QPushButton*>(name)->setEnabled(enabled);
}

void ParamsForm::done(int result) {
    if (!MayCloseWhileLinked(this)) return;
    QDialog::done(result);
}

void ParamsForm::cmdModify_Click() {
    if (Save()) Inform(this, 111163);
}

void ParamsForm::cmdUpload_Click() {
    // Without the register version the page's layout is unknown.
    if (!refreshVersion()) return;
    transfer_->start(link::Direction::Read);
}

// Written over the page the register holds; a form the save refuses writes
// nothing, so the register never gets a row the user did not accept.
void ParamsForm::cmdDownload_Click() {
    if (!Save() || !refreshVersion()) return;
    transfer_->start(link::Direction::Write);
}

void ParamsForm::cmdUpdateTime_Click() {
    if (!Confirm(this, 111414, Prompter::Icon::Information, true)) return;
    transfer_->run(link::Direction::Write, "cmdUpdateTime_Click", [](link::TransferEngine& engine) {
        const QDateTime now = QDateTime::currentDateTime();
        return engine.setClock({now.date().year(), now.date().month(), now.date().day(), now.time().hour(),
                                now.time().minute()});
    });
}

} // namespace ecr::editors
