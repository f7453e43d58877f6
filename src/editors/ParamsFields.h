// The field table of the system parameter form frmPara: every column of the
// params row on one of eight tabs, with the codings of its packed columns.
#pragma once

#include "ui/FieldTable.h"

#include <QString>

namespace ecr::editors {

// Register versions 100320..100400 know the duplicate printing options and
// five printer kinds.
bool IsVersion320To400(long long registerVersion);
// Label108: "3.20" for 100320, "(None)" outside 100320..100400.
QString RegisterVersionText(long long registerVersion);
// Printer kinds of cboPrinterA and cboPrinterB: for 100320..100400 five kinds
// stored as the codes 0, 1, 2, 4, 5; otherwise seven kinds stored as their index.
ui::ComboItems PrinterItems(long long registerVersion);

// Tabs of SSTab1 in order (section indexes 1..8 of the table).
enum ParamTab { General = 1, HeaderFooter, PrintOptions, Payments, TaxRounding, Printers, BarcodesTastes, Other };

// The table for the interface language and the data version in force (App()).
ui::FieldTable ParamFieldTable();

} // namespace ecr::editors
