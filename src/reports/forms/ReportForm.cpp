#include "ReportForm.h"

#include "FormKit.h"
#include "PrintForms.h"
#include "app/AppState.h"
#include "app/GlobalFunc.h"
#include "reports/Export.h"
#include "reports/Ids.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace ecr::reports::forms {

namespace {

QDateEdit* makeDate(QWidget* parent, const char* name, QDate date) {
    auto* e = new QDateEdit(date, parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    e->setCalendarPopup(true);
    return e;
}

QTimeEdit* makeTime(QWidget* parent, const char* name, QTime time) {
    auto* e = new QTimeEdit(time, parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    return e;
}

std::string stored(const QDateEdit* date, const QTimeEdit* time) {
    return (date->date().toString(QStringLiteral("yyyy-MM-dd")) + u' ' + time->time().toString(QStringLiteral("HH:mm:ss")))
        .toStdString();
}

} // namespace

ReportForm::ReportForm(const ReportInfo& report, QWidget* parent) : QDialog(parent), report_(report) {
    setObjectName(QString::fromLatin1(report.form));
    setWindowTitle(MenuCaption(Caption(report.captionId)));
    const bool members = report.filter == Filter::Score;

    auto* fields = new QGridLayout;
    int row = 0;
    if (report.period) {
        const QDate today = QDate::currentDate();
        startDate_ = makeDate(this, "dtpStartDate(0)", today);
        startTime_ = makeTime(this, "dtpStartDate(1)", QTime(0, 0, 0));
        endDate_ = makeDate(this, "dtpEndDate(0)", today);
        endTime_ = makeTime(this, "dtpEndDate(1)", QTime(23, 59, 59));
        fields->addWidget(MakeLabel(this, "Label1", msg::StartTime), row, 0);
        fields->addWidget(startDate_, row, 1);
        fields->addWidget(startTime_, row++, 2);
        fields->addWidget(MakeLabel(this, "Label4", msg::EndTime), row, 0);
        fields->addWidget(endDate_, row, 1);
        fields->addWidget(endTime_, row++, 2);
        presets_ = new QComboBox(this);
        presets_->setObjectName(QStringLiteral("cboPreset"));
        for (Preset p : kPresets) presets_->addItem(Caption(PresetCaptionId(p)), static_cast<int>(p));
        fields->addWidget(MakeLabel(this, "lblPreset", msg::Presets), row, 0);
        fields->addWidget(presets_, row++, 1, 1, 2);
        connect(presets_, &QComboBox::activated, this,
                [this](int index) { applyPreset(static_cast<Preset>(presets_->itemData(index).toInt())); });
    } else if (!members) {
        auto* hint = new QLabel(Caption(111199), this);
        hint->setObjectName(QStringLiteral("Label1"));
        fields->addWidget(hint, row++, 0, 1, 3);
    }
    if (report.filter == Filter::Department || report.filter == Filter::Plu) {
        const bool depart = report.filter == Filter::Department;
        filter_ = MakeDigitsField(this, depart ? "txtDepartId" : "txtPLUId", true);
        fields->addWidget(MakeLabel(this, depart ? "lblDepartId" : "lblPLUId", depart ? 111032 : 111282), row, 0);
        fields->addWidget(filter_, row++, 1);
    }
    QGroupBox* frame = nullptr;
    if (members) {
        frame = new QGroupBox(Caption(111296), this);
        frame->setObjectName(QStringLiteral("Frame1"));
        optAll_ = new QRadioButton(Caption(111294), frame);
        optAll_->setObjectName(QStringLiteral("optAll"));
        option2_ = new QRadioButton(Caption(111295), frame);
        option2_->setObjectName(QStringLiteral("Option2"));
        filter_ = MakeDigitsField(frame, "txtScore", true);
        optAll_->setChecked(true);
        filter_->setEnabled(false);
        auto* f = new QGridLayout(frame);
        f->addWidget(optAll_, 0, 0, 1, 2);
        f->addWidget(option2_, 1, 0);
        f->addWidget(filter_, 1, 1);
        connect(option2_, &QRadioButton::toggled, filter_, &QWidget::setEnabled);
    }

    QPushButton* find = MakeButton(this, members ? "cmdPrint" : "cmdFind", 111097);
    QPushButton* exportButton = MakeButton(this, "cmdExport", 111273);
    QPushButton* exit = MakeButton(this, members ? "cmdCancel" : "cmdExit", 110070);
    auto* commands = ui::TrailingButtons({find, exportButton, exit});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    if (frame) layout->addWidget(frame);
    layout->addSpacing(8);
    layout->addLayout(commands);
    ApplyFont(this);

    connect(find, &QPushButton::clicked, this, &ReportForm::cmdFind_Click);
    connect(exportButton, &QPushButton::clicked, this, &ReportForm::cmdExport_Click);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
}

void ReportForm::applyPreset(Preset preset) {
    if (!startDate_) return;
    const auto [first, last] = PresetDays(preset, QDate::currentDate());
    startDate_->setDate(first);
    startTime_->setTime(QTime(0, 0, 0));
    endDate_->setDate(last);
    endTime_->setTime(QTime(23, 59, 59));
}

std::optional<ReportQuery> ReportForm::query() {
    ReportQuery q;
    if (report_.period) q.period = {stored(startDate_, startTime_), stored(endDate_, endTime_)};
    switch (report_.filter) {
    case Filter::Department:
        q.depart = filter_->text().trimmed().toStdString();
        if (q.depart.empty()) {
            // Without a department the lines of no department would show.
            Inform(this, Caption(msg::DepartRequired));
            filter_->setFocus();
            return std::nullopt;
        }
        break;
    case Filter::Plu: q.plu = filter_->text().trimmed().toStdString(); break;
    case Filter::Score:
        if (option2_->isChecked()) q.scoreAbove = NumericValue(filter_->text().toStdString());
        break;
    case Filter::None: break;
    }
    return q;
}

std::shared_ptr<Document> ReportForm::build() {
    const std::optional<ReportQuery> q = query();
    if (!q) return nullptr;
    std::shared_ptr<Document> doc;
    const std::string where = std::string(report_.form) + (report_.filter == Filter::Score ? ".cmdPrint" : ".BuildReport");
    if (!Trapped(this, where, [&] { doc = std::make_shared<Document>(report_.build(*App().conn, *q)); })) return nullptr;
    // The document shows all the same: title, period and an empty table.
    if (doc->noData) Inform(this, Caption(msg::NoData));
    return doc;
}

void ReportForm::cmdFind_Click() {
    std::shared_ptr<Document> doc = build();
    if (!doc) return;
    PrintForm preview(doc, this);
    preview.exec();
}

void ReportForm::cmdExport_Click() {
    std::shared_ptr<Document> doc = build();
    if (!doc) return;
    QString path;
    if (!Trapped(this, std::string(report_.form) + ".ExportReport", [&] {
            path = NewExportPath(QString::fromStdString(doc->title).trimmed());
            WriteXlsx(*doc, path.toStdString());
        }))
        return;
    ShowExportedFile(this, path, Caption(msg::ExportDone));
}

std::function<void(QWidget*)> OpenReport(const char* formName) {
    const ReportInfo* info = FindReport(formName);
    if (!info) return {};
    return [info](QWidget* parent) {
        ReportForm form(*info, parent);
        form.exec();
    };
}

} // namespace ecr::reports::forms
