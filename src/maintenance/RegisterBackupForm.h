// frmDataBackup and frmDataRestore: every programming page of the register
// into a backup file, and such a file back into a register, as one paged run
// with the progress panel (stop, continue, close). The backup file is written
// only once every page was read; a restore file is read and checked whole
// before the port opens, and a restore can read every page back to compare.
#pragma once

#include "link/TransferEngine.h"
#include "records/rows/RegisterBackup.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ecr::link {
class RegisterCopy;
struct KindPlan;
} // namespace ecr::link

namespace ecr::ui {
class ProgressPanel;
}

namespace ecr::maintenance {

class RegisterBackupForm : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Save, Restore };
    explicit RegisterBackupForm(Mode mode, QWidget* parent = nullptr);
    ~RegisterBackupForm() override;

    Mode mode() const { return mode_; }
    // cmdStart: the run for the file in txtFileName; false when nothing started.
    bool start();
    // Restore: reads and shows what the file holds; false (after saying why)
    // when it is refused.
    bool inspect(const QString& path);
    bool running() const;
    bool paused() const;

    void reject() override;

private:
    enum class Phase { Idle, Reading, Writing, Verifying };
    void browse();
    bool beginRun(link::Direction d, Phase phase);
    void onPage(int page, int total, const link::KindPlan* plan);
    void onFinished(const link::TransferResult& r);
    void stopClicked();
    void continueClicked();
    void closeClicked();
    void finishRun();
    void setControlsEnabled(bool enabled);
    // The form made large enough for the progress panel.
    void growToFit();

    Mode mode_;
    QLineEdit* fileName_;
    QLabel* info_;
    QCheckBox* verify_ = nullptr;
    QPushButton* browse_;
    QPushButton* start_;
    QPushButton* exit_;
    ui::ProgressPanel* panel_;

    Phase phase_ = Phase::Idle;
    QString path_;
    rows::RegisterBackup backup_;
    std::unique_ptr<rows::BackupPageIO> io_;
    std::unique_ptr<link::RegisterCopy> copy_;
};

} // namespace ecr::maintenance
