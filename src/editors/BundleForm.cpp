#include "BundleForm.h"

#include "EditorLogic.h"
#include "records/Bundle.h"
#include "ui/Texts.h"

namespace ecr::editors {

using ui::FieldKind;
using ui::Shown;
using Limits = records::BundleLimits;

namespace {

constexpr int kCodeDigits = 16;
constexpr int kFull = 120552;
// Captions: number, name, price, then per PLU its code, name and quantity.
constexpr int kNumberCaption = 111318;
constexpr int kFirstPluCaption = 111321;

int codeCaption(int i) { return kFirstPluCaption + 3 * i; }
int nameCaption(int i) { return kFirstPluCaption + 3 * i + 1; }
int quantityCaption(int i) { return kFirstPluCaption + 3 * i + 2; }

// Column and object names that the field table keeps pointers to.
struct PluNames {
    std::string number, quantity, code, quantityBox, codeLabel, quantityLabel;
};
const std::vector<PluNames>& pluNames() {
    static const std::vector<PluNames> names = [] {
        std::vector<PluNames> n;
        for (int i = 0; i < records::kBundleItems; ++i) {
            const std::string k = std::to_string(i);
            const std::string box = std::to_string(i + 1);
            n.push_back({"plu" + k + "number", "plu" + k + "quantity", "txtPluID" + box, "txtQuantity" + box,
                         "Label" + std::to_string(4 + 2 * i), "Label" + std::to_string(5 + 2 * i)});
        }
        return n;
    }();
    return names;
}

QString pluName(db::Database& db, const db::Value& code) {
    return QString::fromStdString(GetPluName(db, code.toText()));
}

sheets::SheetData exportSheet(db::Database& db) {
    std::vector<std::string> captions;
    for (int id : {kNumberCaption, kNumberCaption + 1, kNumberCaption + 2}) captions.push_back(ui::Text(id).toStdString());
    for (int i = 0; i < records::kBundleItems; ++i) {
        captions.push_back(ui::Text(codeCaption(i)).toStdString());
        captions.push_back(ui::Text(quantityCaption(i)).toStdString());
    }
    return BundleExportSheet(db, captions);
}

const ui::ListDescription& bundleEditor() {
    static const ui::ListDescription d = [] {
        ui::ListDescription d{
            .form = "frmBundle",
            .caption = 111316,
            .heading = 111317,
            .table = "bundle",
            .key = "bundlenumber",
            .order = "bundlenumber",
            .columns = {{"bundlenumber", kNumberCaption, Shown::Text, 100},
                        {"bundlename", 111319, Shown::Text, 160},
                        {"price", 111320, Shown::Amount2}},
            .slotColumn = "sid",
            .nextSlot = NextBundleSlot,
            .duplicateMessage = 111401,
            .transferKind = "bundles",
            .sheet = exportSheet,
            .size = {960, 560},
            .doubleClickModifies = true,
            .noRowModify = 111168,
            .noRowDelete = 111168,
            .confirmDelete = 111169,
            .deleteIcon = ui::Prompter::Icon::Exclamation,
            .deletedMessage = 111170,
            .fullMessage = kFull,
            .notFoundText = "record not found!",
            .notFoundTitle = "error",
            .entryForm = "frmBundle_S",
            .entryCaption = 111351,
            .fields = {.fields = {{.column = "bundlenumber", .caption = kNumberCaption, .object = "txtBundleID",
                                   .kind = FieldKind::Digits, .label = "Label1", .limit = Limits::bundlenumber,
                                   .required = 111354, .maxLength = kCodeDigits},
                                  {.column = "bundlename", .caption = 111319, .object = "txtBundleName",
                                   .label = "Label2", .limit = Limits::bundlename, .required = 111355},
                                  {.column = "price", .caption = 111320, .object = "txtPrice",
                                   .kind = FieldKind::Decimal, .label = "Label3", .limit = Limits::price,
                                   .required = 111356, .shownDecimals = 2}},
                       // The ten PLUs: code and quantity side by side, in a frame.
                       .sections = {{}, {.columns = 2, .framed = true}}},
            .anotherQuestion = 0,
            .anotherFull = kFull,
        };
        for (int i = 0; i < records::kBundleItems; ++i) {
            const PluNames& n = pluNames()[static_cast<std::size_t>(i)];
            d.columns.push_back({n.number.c_str(), codeCaption(i), Shown::Text, 110});
            d.columns.push_back({n.number.c_str(), nameCaption(i), Shown::Lookup, 140, {}, pluName});
            d.columns.push_back({n.quantity.c_str(), quantityCaption(i), Shown::Number});
            d.fields.fields.push_back({.column = n.number.c_str(), .caption = codeCaption(i), .object = n.code.c_str(),
                                       .kind = FieldKind::Code, .label = n.codeLabel.c_str(),
                                       .limit = Limits::pluNumber, .maxLength = kCodeDigits, .section = 1});
            d.fields.fields.push_back({.column = n.quantity.c_str(), .caption = quantityCaption(i),
                                       .object = n.quantityBox.c_str(), .kind = FieldKind::Decimal,
                                       .label = n.quantityLabel.c_str(), .limit = Limits::quantity, .section = 1});
        }
        return d;
    }();
    return d;
}

} // namespace

BundleForm::BundleForm(QWidget* parent) : TableListForm(bundleEditor(), parent) {}

void BundleForm::completeInsert(ui::RowValues& values, const db::Value&) const { values.emplace_back("address", 0); }

} // namespace ecr::editors
