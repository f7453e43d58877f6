#include "MainWindow.h"

#include "Artwork.h"
#include "ui/Languages.h"
#include "ui/Mnemonics.h"
#include "ui/Prompter.h"
#include "ui/RegisterLink.h"
#include "ui/Texts.h"
#include "ui/DatabaseSession.h"
#include "ui/Log.h"
#include "app/Config.h"
#include "app/ErrorLog.h"
#include "db/Database.h"
#include "link/SerialEvents.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace ecr::gui {

using namespace ecr::ui;

const MenuEntry kMenuEntries[] = {
    {"mnuM1", nullptr, 110010, nullptr, true},
    {"mnuSysPara", "mnuM1", 110011, "frmPara"},
    {"mnuKey", "mnuM1", 110012, kKeyEditor},
    {"mnuSeller", "mnuM1", 110013, "frmCashierStruct"},
    {"mnuDept", "mnuM1", 110014, "frmDepart"},
    {"-", "mnuM1", 0, nullptr},
    {"mnuBmpDownload", "mnuM1", 110015, "frmDownLoad"},
    {"mnuM2", nullptr, 110020, nullptr, true},
    {"mnuSetPLU", "mnuM2", 110021, "frmPLU"},
    {"mnuImport", "mnuM2", 110022, "frmImport"},
    {"mnuSaleData", nullptr, 110030, nullptr, true},
    {"mnuSaleDataView", "mnuSaleData", 110031, "frmSaleData"},
    {"mnuCash", "mnuSaleData", 111547, "frmFlashCash"},
    {"mnuReport", nullptr, 110040, nullptr, true},
    {"mnuRpt1", "mnuReport", 110041, nullptr, true},
    {"mnuRpt3", "mnuRpt1", 110042, "frmRpt7"},
    {"mnuRpt4", "mnuRpt1", 110043, "frmRpt6"},
    {"mnuRpt10", "mnuRpt1", 110044, "frmRpt1"},
    {"mnuRpt101", "mnuRpt1", 111437, "frmRpt11"},
    {"mnuRpt102", "mnuRpt1", 111438, "frmRpt12"},
    {"mnuRpt11", "mnuRpt1", 110045, "frmRpt2"},
    {"mnuRpt12", "mnuRpt1", 110046, "frmRpt3"},
    {"mnuRpt13", "mnuRpt1", 110047, "frmRpt4"},
    {"mnuRpt14", "mnuRpt1", 110048, "frmRpt5"},
    {"mnuRpt15", "mnuRpt1", 111389, "frmRpt8"},
    {"mnuRpt16", "mnuRpt1", 111622, "frmRpt9"},
    {"mnuRpt17", "mnuRpt1", 111630, "frmRpt10"},
    {"mnuRptHourly", "mnuRpt1", 120306, "frmRptHourly"},
    {"mnuBundle", "mnuReport", 111316, nullptr, true},
    {"mnuBundleInfo", "mnuBundle", 111351, "frmBundle"},
    {"mnuMember", "mnuReport", 111242, nullptr, true},
    {"mnuMemberInfo", "mnuMember", 111243, "frmMember"},
    {"mnuMemberRpt", "mnuMember", 111244, "frmMemberRpt"},
    {"mnuPromotion", "mnuReport", 111491, "frmPromotion"},
    {"mnuFiscal", "mnuReport", 111359, nullptr, true},
    {"mnuFiscalData", "mnuFiscal", 111360, "frmFiscal"},
    {"mnuSystem", nullptr, 110050, nullptr, true},
    {"mnuLanguage", "mnuSystem", 110051, nullptr, true},
    {"-", "mnuSystem", 0, nullptr},
    {"mnuDbBackup", "mnuSystem", 110052, "frmBackupDb"},
    {"mnuSelectDb", "mnuSystem", 110053, "frmSelectDb"},
    {"mnuInitData", "mnuSystem", 111595, "mnuInitData"},
    {"mnuDataBackup", "mnuSystem", 0, "frmDataBackup"},
    {"mnuDataRestore", "mnuSystem", 0, "frmDataRestore"},
    {"-", "mnuSystem", 0, nullptr},
    {"mnuComm", "mnuSystem", 111306, "frmCommSet"},
    {"mnuKeyboard", "mnuSystem", 111468, "frmKeyboardType"},
    {"mnuChangePassword", "mnuSystem", 111585, "frmModifyLoginPasswd"},
    {"-", "mnuSystem", 0, nullptr},
    {"mnuAbout", "mnuSystem", 110060, "frmAbout"},
};
const int kMenuEntryCount = static_cast<int>(std::size(kMenuEntries));

const ToolButton kToolButtons[] = {
    {"sys", "mnuSysPara"},       {"cashier", "mnuSeller"},         {"depa", "mnuDept"},
    {"hotkey", "mnuKey"},        {"plu", "mnuSetPLU"},             {"saledata", "mnuSaleDataView"},
    {"member", "mnuMemberInfo"}, {"download", "mnuBmpDownload"}, {"db", nullptr},
    {"about", "mnuAbout"},       {"exit", nullptr},
};
const int kToolButtonCount = static_cast<int>(std::size(kToolButtons));

namespace {

// Captions of the program's own, in the order of the language codes 1..7.
using Fixed = const char* [7];
const Fixed kDataBackup = {"数据备份",           "資料備份",           "Back Up Data",           "Sao lưu dữ liệu",
                           "پشتیبان‌گیری داده‌ها", "Sauvegarder les données", "สำรองข้อมูล"};
const Fixed kDataRestore = {"数据恢复",          "資料還原",          "Restore Data",          "Khôi phục dữ liệu",
                            "بازیابی داده‌ها",   "Restaurer les données", "กู้คืนข้อมูล"};
const Fixed kDatabase = {"数据库", "資料庫", "Database", "Cơ sở dữ liệu", "پایگاه داده", "Base de données", "ฐานข้อมูล"};

QString fixed(const Fixed& texts) {
    const int lang = App().langCode;
    return QString::fromUtf8(texts[IsLanguageCode(lang) ? lang - 1 : 2]);
}

} // namespace

MainWindow::MainWindow(const FormRegistry& forms, QWidget* parent) : QMainWindow(parent), forms_(forms) {
    setObjectName("frmMain");
    setWindowIcon(ProgramIcon());
    setCentralWidget(new BackgroundImage(this));
    buildMenus();
    buildToolbar();
    buildStatusBar();
    resize(1024, 700);

    link_ = new RegisterLink(this);
    SetEngineSource([l = link_] { return l->engine(); });
    connect(&link_->transport(), &link::Transport::serialEvent, this, &MainWindow::showSerialEvent);
    if (DatabaseSession* session = Session())
        connect(session, &DatabaseSession::replaced, this, &MainWindow::followDatabase);

    showLanguage();
    refreshStatus();
}

MainWindow::~MainWindow() { SetEngineSource({}); }

QAction* MainWindow::entry(const QString& name) const { return entries_.value(name, nullptr); }

void MainWindow::buildMenus() {
    QHash<QString, QMenu*> menus;
    for (const MenuEntry& e : kMenuEntries) {
        QMenu* parentMenu = e.parent ? menus.value(e.parent) : nullptr;
        if (e.submenu) {
            auto* menu = new QMenu(this);
            menu->setObjectName(e.name);
            menu->menuAction()->setObjectName(e.name);
            if (parentMenu)
                parentMenu->addMenu(menu);
            else
                menuBar()->addMenu(menu);
            menus.insert(e.name, menu);
            entries_.insert(e.name, menu->menuAction());
            continue;
        }
        if (!e.form) {
            parentMenu->addSeparator();
            continue;
        }
        auto* action = new QAction(this);
        action->setObjectName(e.name);
        parentMenu->addAction(action);
        entries_.insert(e.name, action);
        const char* form = e.form;
        connect(action, &QAction::triggered, this, [this, form] { openForm(form); });
    }

    QMenu* languages = menus.value("mnuLanguage");
    for (const auto& l : kLanguages) {
        auto* action = new QAction(this);
        action->setObjectName(l.menuEntry);
        action->setCheckable(true);
        languages->addAction(action);
        entries_.insert(l.menuEntry, action);
        const int code = l.code;
        connect(action, &QAction::triggered, this, [this, code] { switchLanguage(code); });
    }
}

void MainWindow::buildToolbar() {
    toolbar_ = addToolBar(QString());
    toolbar_->setObjectName("Toolbar1");
    toolbar_->setMovable(false);
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar_->setIconSize(QSize(32, 32));

    dbAction_ = new QAction(this);
    dbAction_->setObjectName("tbrDb");
    dbAction_->setEnabled(false); // shows the file; opens nothing
    exitAction_ = new QAction(this);
    exitAction_->setObjectName("tbrExit");
    connect(exitAction_, &QAction::triggered, this, &QWidget::close);
    // Only the menu's About waits for the end of a login; the button does not.
    aboutButton_ = new QAction(this);
    aboutButton_->setObjectName("tbrAbout");
    connect(aboutButton_, &QAction::triggered, this, [this] { openForm("frmAbout"); });

    for (const ToolButton& b : kToolButtons) {
        const QString key = QString::fromLatin1(b.key);
        QAction* action = key == "about" ? aboutButton_
                          : b.entry      ? entry(b.entry)
                                         : (key == "db" ? dbAction_ : exitAction_);
        action->setIcon(ToolIcon(key));
        if (key == "db" || key == "exit") toolbar_->addSeparator();
        toolbar_->addAction(action);
        toolbar_->widgetForAction(action)->setObjectName(key);
    }
}

void MainWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar1");
    for (int i = 0; i < 5; ++i) {
        panels_[i] = new QLabel(this);
        panels_[i]->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panels_[i]->setContentsMargins(4, 0, 4, 0);
        panels_[i]->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        // Panel 4, the program's description, takes the room that is left.
        bar->addWidget(panels_[i], i == 3 ? 1 : 0);
    }
    panels_[4]->setMinimumWidth(110); // room for the serial event before the first one
}

void MainWindow::switchLanguage(int code) {
    if (IsLanguageCode(code)) {
        try {
            SaveLanguage(*App().conn, App(), code);
        } catch (const db::DbError& e) {
            WriteErrorLog("frmMain_SwitchLanguage", e.code(), e.what());
            Prompt().error(this, QStringLiteral("Error"), Text(111465) + "\n" + QString::fromUtf8(e.what()));
        }
    }
    showLanguage();
}

void MainWindow::showLanguage() {
    const int code = App().langCode;
    for (const auto& l : kLanguages) entry(l.menuEntry)->setChecked(l.code == code);
    ApplyInterfaceLanguage(code);
    ApplyFormFont(this);
    refreshCaptions();
}

void MainWindow::refreshCaptions() {
    for (const MenuEntry& e : kMenuEntries)
        if (e.captionId != 0) entry(e.name)->setText(MenuCaption(Text(e.captionId)));
    entry("mnuDataBackup")->setText(fixed(kDataBackup));
    entry("mnuDataRestore")->setText(fixed(kDataRestore));
    for (const auto& l : kLanguages) entry(l.menuEntry)->setText(LanguageMenuCaption(l.code, App().langCode));
    dbAction_->setText(fixed(kDatabase));
    aboutButton_->setText(MenuCaption(Text(110060)));
    exitAction_->setText(Text(110070));
    panels_[3]->setText(Text(100001));
    AddMenuMnemonics(menuBar());
    const AppState& s = App();
    setWindowTitle(Text(100000) + QStringLiteral("    Version ") + QString::number(s.dataVersion) +
                   QStringLiteral(" - ") + QString::fromStdString(s.appVersion));
}

void MainWindow::refreshStatus() {
    const AppState& s = App();
    panels_[0]->setText(QString::fromStdString(s.modelName));
    // The device the transfers open, as the serial settings name it.
    const std::string device = s.commPortName.empty() ? DefaultPortName(s.commPort) : s.commPortName;
    panels_[1]->setText(QString::fromStdString(device + ":" + std::to_string(s.baudRate)));
    panels_[2]->setText(QString::fromStdString(s.dbFileName));
    panels_[2]->setToolTip(QString::fromStdString(s.dbPath));
    dbAction_->setToolTip(QString::fromStdString(s.dbPath));
    updateEnabled();
}

void MainWindow::setAboutAvailable(bool available) {
    aboutAvailable_ = available;
    updateEnabled();
}

void MainWindow::showSerialEvent(int eventNumber) {
    panels_[4]->setText(Text(link::SerialEventMessage(eventNumber)));
    panels_[4]->setToolTip(QString::fromLatin1(link::SerialEventText(eventNumber)));
}

QString MainWindow::resolveForm(const char* form) const {
    if (qstrcmp(form, kKeyEditor) != 0) return QString::fromLatin1(form);
    int keyboard = 2;
    try {
        keyboard = GetKeyboardType(*App().conn);
    } catch (const db::DbError& e) {
        WriteErrorLog("frmMain_KeyEditor", e.code(), e.what());
    }
    return KeyEditorFormName(keyboard, App().oemType);
}

void MainWindow::updateEnabled() {
    for (const MenuEntry& e : kMenuEntries) {
        if (!e.form) continue;
        bool enabled = forms_.has(resolveForm(e.form));
        if (qstrcmp(e.name, "mnuAbout") == 0) enabled = enabled && aboutAvailable_;
        entry(e.name)->setEnabled(enabled);
    }
    aboutButton_->setEnabled(forms_.has(QStringLiteral("frmAbout")));
}

void MainWindow::followDatabase() {
    qCDebug(lcGui) << "main window follows" << QString::fromStdString(App().dbPath);
    showLanguage();
    refreshStatus();
}

void MainWindow::openForm(const char* form) {
    qCDebug(lcGui) << "open" << resolveForm(form);
    forms_.open(resolveForm(form), this);
    // A form may have changed the serial settings, the database or the model.
    refreshCaptions();
    refreshStatus();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (Prompt().yesNo(this, Text(100002), Text(100003), true, Prompter::Icon::Information))
        event->accept();
    else
        event->ignore();
}

} // namespace ecr::gui
