// The report forms: one form class shows any report of the table of reports
// (frmRpt1 ... frmRpt12, frmMemberRpt, the sales by hour) with its period
// pickers and presets, or its filter, and previews or exports its document.
#pragma once

#include "reports/Reports.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QRadioButton;
class QTimeEdit;

namespace ecr::reports::forms {

class ReportForm : public QDialog {
    Q_OBJECT
public:
    ReportForm(const ReportInfo& report, QWidget* parent);

    const ReportInfo& report() const { return report_; }
    // The query the controls describe; nothing, after a message, while a
    // required filter is empty.
    std::optional<ReportQuery> query();
    // Sets the pickers to the days of a preset, 00:00:00 to 23:59:59.
    void applyPreset(Preset preset);

    void cmdFind_Click();
    void cmdExport_Click();

private:
    std::shared_ptr<Document> build();

    const ReportInfo& report_;
    QDateEdit* startDate_ = nullptr;
    QTimeEdit* startTime_ = nullptr;
    QDateEdit* endDate_ = nullptr;
    QTimeEdit* endTime_ = nullptr;
    QComboBox* presets_ = nullptr;
    QLineEdit* filter_ = nullptr; // txtDepartId, txtPLUId or txtScore
    QRadioButton* optAll_ = nullptr;
    QRadioButton* option2_ = nullptr;
};

// Shows the report form of that form name modally over parent; nothing for
// an unknown name.
std::function<void(QWidget*)> OpenReport(const char* formName);

} // namespace ecr::reports::forms
