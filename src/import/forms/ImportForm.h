// frmImport: PLUs from a spreadsheet. Choosing a file shows what the import
// would do, row by row, before anything is written; Import writes it in one
// transaction with the progress panel, a few hundred rows per turn of the
// event loop, so the window stays responsive while its controls are off.
#pragma once

#include "import/PluImport.h"

#include <QAbstractTableModel>
#include <QDialog>

#include <memory>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;

namespace ecr::import {

// The preview table: one row per data row of the sheet with its row number,
// action, code, name and reason (warnings after "Warning:").
class PreviewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColRow, ColAction, ColCode, ColName, ColReason, ColumnCount };
    explicit PreviewModel(QObject* parent = nullptr);
    void setPlan(ImportPlan plan);
    const ImportPlan& plan() const { return plan_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    ImportPlan plan_;
};

class ImportForm : public QDialog {
    Q_OBJECT
public:
    explicit ImportForm(QWidget* parent = nullptr);
    ~ImportForm() override;

    // Reads the file and shows the preview; false (after saying why) when
    // the file is missing or refused.
    bool preview(const QString& path);
    // cmdImport: the question, then the import.
    void importClicked();
    bool importing() const { return writer_ != nullptr; }
    const PreviewModel& previewModel() const { return *model_; }

    // No closing while the import writes.
    void done(int result) override;

private:
    void openFileClicked();
    void step();
    void finishImport();
    void failImport(long long code, const std::string& text);
    void setWriting(bool writing);

    QLineEdit* fileName_;
    QPushButton* openFile_;
    QPushButton* import_;
    QPushButton* exit_;
    QTableView* table_;
    QLabel* counts_;
    QWidget* frame1_;
    QWidget* progress_;
    QLabel* progressLabel_;
    QProgressBar* progressBar_;
    QTimer* stepper_;
    PreviewModel* model_;
    QString previewPath_;
    sheets::ReadSheet sheet_;
    std::unique_ptr<ImportWriter> writer_;
};

} // namespace ecr::import
