// frmBackupDb and frmSelectDb: a file name, a browse button, Save and Cancel.
// The backup copies the open database while the program keeps working; the
// selection checks the chosen file on a connection of its own and only then
// puts it in place of the open one. Initialise data empties the register
// data after a question.
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace ecr::maintenance {

class DbFileForm : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Backup, Select };
    explicit DbFileForm(Mode mode, QWidget* parent = nullptr);

    Mode mode() const { return mode_; }
    // Command1's choice: put into txtFileName unless it is the open database
    // (backup: refused with the "file in use" box). False when refused.
    bool takeChosenFile(const QString& path);
    // cmdSave: true when the form closed after doing its work.
    bool save();

private:
    void browse();
    bool backup(const QString& path);
    bool select(const QString& path);

    Mode mode_;
    QLineEdit* fileName_;
    QPushButton* browse_;
    QPushButton* save_;
    QPushButton* cancel_;
    QString confirmedTarget_; // an existing target the dialog already asked about
};

// The "file in use" box of a backup aimed at the open database, in the
// interface language's wording: its title and text.
QString InUseTitle(int langCode);
QString InUseText(int langCode);

// mnuInitData: asks (No by default); Yes empties the register data in one
// transaction. True when the data was emptied.
bool InitialiseDataAsked(QWidget* parent);

} // namespace ecr::maintenance
