// The system parameter form frmPara: the one row of params on eight tabs
// (ParamsFields.h), saved whole; the parameter page read from the register
// into params, or written into it over the page the register holds; the
// register's clock set from this PC.
#pragma once

#include "ui/FieldForm.h"
#include "ui/Transfers.h"

#include <QDialog>

#include <memory>

namespace ecr::editors {

class ParamsForm : public QDialog, public ui::TransferHost {
    Q_OBJECT
public:
    explicit ParamsForm(QWidget* parent = nullptr);
    ~ParamsForm() override;

    // Every control from params, or the defaults without a row; then all
    // three modes checked, the language of the interface and TaxDefault.
    void FillData();
    // Checks the fields and replaces the row of params in one transaction.
    // False, after the message with the focus in the field, when refused.
    bool Save();
    // SSTab1 and the command buttons on or off together.
    void SetControlsEnabled(bool enabled);
    ui::FieldForm& fields() { return *fields_; }

    QWidget* hostWidget() override { return this; }
    void setControlsEnabled(bool enabled) override { SetControlsEnabled(enabled); }
    void reloadAfterRead() override { FillData(); }
    // Closing by any way is refused while the port is open.
    void done(int result) override;

private:
    // The register version read again from info, and what depends on it;
    // false when info could not be read.
    bool refreshVersion();
    void applyVersionRules();
    void cmdModify_Click();
    void cmdUpload_Click();
    void cmdDownload_Click();
    void cmdUpdateTime_Click();

    std::unique_ptr<ui::FieldForm> fields_;
    ui::SinglePageTransfer* transfer_;
};

} // namespace ecr::editors
