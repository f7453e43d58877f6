#include "KeyEditor.h"

#include "Log.h"
#include "app/AppState.h"
#include "app/Config.h"
#include "app/GlobalFunc.h"
#include "ui/Controls.h"
#include "ui/DatabaseSession.h"
#include "ui/ErrorTrap.h"
#include "ui/Languages.h"
#include "ui/Prompter.h"
#include "ui/Texts.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ecr::keyboard {

using namespace ecr::ui;

namespace {

// Captions of the PLU fields by level: "Level 1 PLU:" ...
constexpr int kLevelCaptions[] = {111027, 111028, 111029};

QString fromStd(const std::string& s) { return QString::fromStdString(s); }

} // namespace

// ---- frmDefineKey.. -------------------------------------------------------------

KeyEditorWindow::KeyEditorWindow(int layoutIndex, QWidget* parent)
    : QDialog(parent), layout_(LayoutAt(layoutIndex)) {
    setObjectName(fromStd(EditorName(layout_)));
    setWindowTitle(Text(111020));
    view_ = new KeyLayoutView(layout_, this);
    auto* cmdUpload = MakeButton(this, "cmdUpload", 111014);
    auto* cmdDownload = MakeButton(this, "cmdDownload", 111015);
    auto* cmdRestore = MakeButton(this, "cmdRestore", 111022);
    auto* cmdExit = MakeButton(this, "cmdExit", 111019);
    buttons_ = {cmdUpload, cmdDownload, cmdRestore, cmdExit};
    transfer_ = new SinglePageTransfer(*this, "keys");

    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* b : buttons_) row->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_, 0, Qt::AlignHCenter);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ApplyFormFont(this);
    // The interface font reaches the keys too; they keep their own.
    view_->FillButtonText();

    connect(view_, &KeyLayoutView::keyClicked, this, &KeyEditorWindow::openKey);
    connect(cmdUpload, &QPushButton::clicked, this, [this] { transfer_->start(link::Direction::Read); });
    connect(cmdDownload, &QPushButton::clicked, this, [this] { transfer_->start(link::Direction::Write); });
    connect(cmdRestore, &QPushButton::clicked, this, &KeyEditorWindow::cmdRestore_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::reject);
    if (DatabaseSession* session = Session())
        connect(session, &DatabaseSession::replaced, this, [this] { view_->FillButtonText(); });
}

void KeyEditorWindow::setControlsEnabled(bool enabled) {
    for (QPushButton* b : buttons_) b->setEnabled(enabled);
    view_->setEnabled(enabled);
}

void KeyEditorWindow::done(int result) {
    if (!MayCloseWhileLinked(this)) return;
    QDialog::done(result);
}

void KeyEditorWindow::openKey(int code) {
    qCDebug(lcKeyboard) << objectName() << "key" << code;
    KeyDefinitionDialog dialog(view_, code, this);
    dialog.exec();
}

void KeyEditorWindow::cmdRestore_Click() {
    int assigned = 0;
    if (!Trapped(this, Where(*this, "cmdRestore_Click"),
                 [&] { assigned = KeyboardStore(Db(), layout_, App().langCode).assignedKeys(); }))
        return;
    const QString what = fromStd(SubstituteArgs(Text(120652).toStdString(), {std::to_string(assigned)}));
    if (!ConfirmDestructive(this, 111123, Prompter::Icon::Question, what)) return;
    Trapped(this, Where(*this, "cmdRestore_Click"), [&] { KeyboardStore(Db(), layout_, App().langCode).restoreAll(); });
    view_->FillButtonText();
}

// ---- frmDefineKey.._S ------------------------------------------------------------

KeyDefinitionDialog::KeyDefinitionDialog(KeyLayoutView* view, int code, QWidget* parent)
    : QDialog(parent), view_(view), layout_(view->layout()), code_(code) {
    setObjectName(fromStd(EditorName(layout_) + "_S"));
    setWindowTitle(Text(110012));

    auto* label1 = MakeLabel(this, "Label1", 111023, false);
    defaultKey_ = new QLabel(this);
    defaultKey_->setObjectName("lblDefaultKey");

    auto* frame3 = new QGroupBox(Text(111024), this);
    frame3->setObjectName("Frame3");
    optPlu_ = new QRadioButton(QStringLiteral("PLU"), frame3);
    optPlu_->setObjectName("optPLU");
    optFunction_ = new QRadioButton(Text(111026), frame3);
    optFunction_->setObjectName("optFunction");
    auto* options = new QHBoxLayout(frame3);
    options->addWidget(optPlu_);
    options->addWidget(optFunction_);
    options->addStretch(1);

    pluFrame_ = new QFrame(this);
    pluFrame_->setObjectName("Frame1");
    pluFrame_->setFrameShape(QFrame::StyledPanel);
    auto* pluGrid = new QGridLayout(pluFrame_);
    pluGrid->addWidget(MakeLabel(pluFrame_, "Label3", 111025, false), 0, 0, 1, 2);
    for (int j = 0; j < layout_.levels; ++j) {
        const QByteArray label = "Label" + QByteArray::number(4 + j);
        const QByteArray field = "txtPluID" + QByteArray::number(j);
        pluLabels_ << MakeLabel(pluFrame_, label.constData(), kLevelCaptions[j], false);
        pluFields_ << MakeField(pluFrame_, field.constData(), EntryRule::Code);
        pluGrid->addWidget(pluLabels_.last(), j + 1, 0);
        pluGrid->addWidget(pluFields_.last(), j + 1, 1);
    }
    // Keys of one level have no fields for the others.
    for (int j = LevelCount(layout_, code); j < layout_.levels; ++j) {
        pluLabels_[j]->hide();
        pluFields_[j]->hide();
    }

    functionFrame_ = new QFrame(this);
    functionFrame_->setObjectName("Frame2");
    functionFrame_->setFrameShape(QFrame::StyledPanel);
    functions_ = new QComboBox(functionFrame_);
    functions_->setObjectName("cboFuncKey");
    for (const KeyFunction& f : kKeyFunctions)
        functions_->addItem(f.messageId ? Text(f.messageId) : QStringLiteral("PLU"), f.code);
    functions_->setCurrentIndex(0);
    auto* functionRow = new QHBoxLayout(functionFrame_);
    functionRow->addWidget(MakeLabel(functionFrame_, "Label7", 111026, true));
    functionRow->addWidget(functions_, 1);

    auto* cmdModify = MakeButton(this, "cmdModify", 111018);
    restore_ = MakeButton(this, "cmdRestore", 111022);
    auto* cmdExit = MakeButton(this, "cmdExit", 111019);

    auto* top = new QHBoxLayout;
    top->addWidget(label1);
    top->addWidget(defaultKey_, 1);
    auto* buttons = TrailingButtons({cmdModify, restore_, cmdExit});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(frame3);
    layout->addWidget(pluFrame_);
    layout->addWidget(functionFrame_);
    layout->addStretch(1);
    layout->addLayout(buttons);
    setMinimumWidth(380);
    ApplyFormFont(this);

    connect(optPlu_, &QRadioButton::toggled, this, &KeyDefinitionDialog::showOption);
    connect(cmdModify, &QPushButton::clicked, this, &KeyDefinitionDialog::cmdModify_Click);
    connect(restore_, &QPushButton::clicked, this, &KeyDefinitionDialog::cmdRestore_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::reject);

    optPlu_->setChecked(true);
    loadAssignment();
    showOption();
}

void KeyDefinitionDialog::showOption() {
    pluFrame_->setVisible(optPlu_->isChecked());
    functionFrame_->setVisible(!optPlu_->isChecked());
}

void KeyDefinitionDialog::loadAssignment() {
    bool assigned = false;
    Trapped(this, objectName().toStdString() + "_Form_Load", [&] {
        KeyboardStore store(Db(), layout_, App().langCode);
        defaultKey_->setText(fromStd(store.buttonName(code_)));
        const KeyAssignment a = store.load(code_, &assigned);
        for (int j = 0; j < pluFields_.size(); ++j) pluFields_[j]->setText(fromStd(a.plu[static_cast<std::size_t>(j)]));
        if (a.kind == KeyAssignment::Kind::Function) {
            optFunction_->setChecked(true);
            int index = FunctionIndexOf(a.function);
            if (index < 0) {
                // A function the register holds outside the list: shown by its
                // key caption, and kept when the dialog stores it again.
                const std::string name = store.buttonName(a.function);
                functions_->addItem(name.empty() ? QString::number(a.function) : fromStd(name), a.function);
                index = functions_->count() - 1;
            }
            functions_->setCurrentIndex(index);
        }
    });
    restore_->setEnabled(assigned);
}

void KeyDefinitionDialog::refuse(const QString& text, QLineEdit* field) {
    InformText(this, text);
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

void KeyDefinitionDialog::cmdModify_Click() {
    KeyAssignment a;
    if (optPlu_->isChecked()) {
        a.kind = KeyAssignment::Kind::Plu;
        for (int j = 0; j < pluFields_.size(); ++j) a.plu[static_cast<std::size_t>(j)] = pluFields_[j]->text().toStdString();
        if (const auto r = CheckPluFields(layout_, code_, a.plu)) {
            QString caption = Text(kLevelCaptions[r->level]).trimmed();
            if (caption.endsWith(u':') || caption.endsWith(u'\uFF1A')) caption.chop(1);
            std::vector<std::string> args{caption.toStdString()};
            args.insert(args.end(), r->args.begin(), r->args.end());
            refuse(fromStd(SubstituteArgs(Text(r->messageId).toStdString(), args)), pluFields_[r->level]);
            return;
        }
    } else {
        a.kind = KeyAssignment::Kind::Function;
        a.function = functions_->currentData().toInt();
    }
    if (!Trapped(this, objectName().toStdString() + "_cmdModify_Click",
                 [&] { KeyboardStore(Db(), layout_, App().langCode).store(code_, a); }))
        return;
    qCDebug(lcKeyboard) << objectName() << "key" << code_ << "stored";
    view_->FillButtonText();
    accept();
}

void KeyDefinitionDialog::cmdRestore_Click() {
    if (!ConfirmDestructive(this, 111123, Prompter::Icon::Question, defaultKey_->text())) return;
    if (!Trapped(this, objectName().toStdString() + "_cmdRestore_Click",
                 [&] { KeyboardStore(Db(), layout_, App().langCode).restore(code_); }))
        return;
    view_->FillButtonText();
    accept();
}

// ---- opening ---------------------------------------------------------------------

void OpenKeyboardEditor(QWidget* parent) {
    int type = 2;
    Trapped(parent, "frmMain_OpenKeyboardEditor", [&] { type = GetKeyboardType(Db()); });
    EditorOpener(LayoutForKeyboardType(type, App().oemType))(parent);
}

QString EditorFormName(int layoutIndex) { return fromStd(EditorName(LayoutAt(layoutIndex))); }

std::function<void(QWidget*)> EditorOpener(int layoutIndex) {
    return [layoutIndex](QWidget* parent) {
        KeyEditorWindow editor(layoutIndex, parent);
        editor.exec();
    };
}

} // namespace ecr::keyboard
