#include "KeyboardTypeForm.h"

#include "KeyModel.h"
#include "app/Config.h"
#include "db/Database.h"
#include "ui/Controls.h"
#include "ui/ErrorTrap.h"
#include "ui/Languages.h"
#include "ui/Texts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace ecr::keyboard {

using namespace ecr::ui;

KeyboardTypeForm::KeyboardTypeForm(QWidget* parent) : QDialog(parent) {
    setObjectName("frmKeyboardType");
    setWindowTitle(Text(111468));
    auto* label2 = MakeLabel(this, "Label2", 111384, false);
    keyboard_ = new QComboBox(this);
    keyboard_->setObjectName("cboKeyboard");
    // List position = the stored value; the fifth is the second 39-key layout.
    keyboard_->addItems({QStringLiteral("39 Keys"), QStringLiteral("48 Keys"), QStringLiteral("59 Keys"),
                         QStringLiteral("93 Keys"), Text(120651)});
    auto* cmdModify = MakeButton(this, "cmdModify", 111009);
    auto* cmdExit = MakeButton(this, "cmdExit", 111019);

    auto* grid = new QGridLayout(this);
    grid->addWidget(label2, 0, 0);
    grid->addWidget(keyboard_, 0, 1);
    auto* buttons = TrailingButtons({cmdModify, cmdExit});
    grid->addLayout(buttons, 1, 0, 1, 2);
    ApplyFormFont(this);

    int type = 2;
    Trapped(this, "frmKeyboardType_Form_Load", [&] { type = GetKeyboardType(Db()); });
    // A value the list lacks shows the keyboard the editor opens for it.
    keyboard_->setCurrentIndex(type >= 0 && type < keyboard_->count() ? type : 2);

    connect(cmdModify, &QPushButton::clicked, this, &KeyboardTypeForm::cmdModify_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::reject);
}

void KeyboardTypeForm::cmdModify_Click() {
    const int type = keyboard_->currentIndex();
    const bool saved = Trapped(this, "frmKeyboardType_cmdModify_Click", [&] {
        db::Database& db = Db();
        if (db.query("SELECT 1 FROM info LIMIT 1").empty())
            db.execute("INSERT INTO info(keyboard) VALUES(?)", {type});
        else
            db.execute("UPDATE info SET keyboard = ?", {type});
    });
    if (saved) accept();
}

} // namespace ecr::keyboard
