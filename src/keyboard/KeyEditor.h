// The key editor of a layout (frmDefineKey39 ... frmDefineKey93): the
// keyboard picture, the exchange of the keyboard page with the register and
// the restore of the factory assignment; and the key definition dialog
// (frmDefineKey39_S ...) that gives one key PLUs by level or a function.
#pragma once

#include "KeyLayoutView.h"
#include "ui/Transfers.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ecr::keyboard {

class KeyEditorWindow : public QDialog, public ui::TransferHost {
    Q_OBJECT
public:
    KeyEditorWindow(int layoutIndex, QWidget* parent = nullptr);

    const KeyLayout& layout() const { return layout_; }
    KeyLayoutView* view() const { return view_; }
    // The key definition dialog of a key, modal over the window.
    void openKey(int code);

    // Closing by any way is refused while the port is open.
    void done(int result) override;

    // TransferHost
    QWidget* hostWidget() override { return this; }
    void setControlsEnabled(bool enabled) override;
    void reloadAfterRead() override { view_->FillButtonText(); }

private:
    void cmdRestore_Click();

    const KeyLayout& layout_;
    KeyLayoutView* view_;
    QList<QPushButton*> buttons_;
    ui::SinglePageTransfer* transfer_;
};

class KeyDefinitionDialog : public QDialog {
    Q_OBJECT
public:
    // The dialog of key code on the editor's layout; it refreshes the
    // editor's keys after a change.
    KeyDefinitionDialog(KeyLayoutView* view, int code, QWidget* parent);

    int code() const { return code_; }

private:
    void loadAssignment();
    void showOption();
    void cmdModify_Click();
    void cmdRestore_Click();
    void refuse(const QString& text, QLineEdit* field);

    KeyLayoutView* view_;
    const KeyLayout& layout_;
    int code_;
    QLabel* defaultKey_;
    QRadioButton* optPlu_;
    QRadioButton* optFunction_;
    QFrame* pluFrame_;
    QFrame* functionFrame_;
    QList<QLineEdit*> pluFields_; // one per level of the layout
    QList<QLabel*> pluLabels_;
    QComboBox* functions_;
    QPushButton* restore_;
};

// The editor that info.keyboard opens, shown modally.
void OpenKeyboardEditor(QWidget* parent);
// The editor of a layout by its form name ("frmDefineKey39_2"), and what
// opens it modally.
QString EditorFormName(int layoutIndex);
std::function<void(QWidget*)> EditorOpener(int layoutIndex);

} // namespace ecr::keyboard
