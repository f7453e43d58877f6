// The main window: menus and toolbar that open every other form, the status
// bar and the background picture. Closing it ends the program.
#pragma once

#include "FormRegistry.h"

#include <QMainWindow>

class QLabel;
class QMenu;
class QToolBar;

namespace ecr::ui {
class RegisterLink;
}

namespace ecr::gui {

// One entry of the menu bar. Entries with a form open it from the registry;
// entries without a form and without children are separators.
struct MenuEntry {
    const char* name;   // objectName of the entry (and of its QMenu)
    const char* parent; // nullptr for the menu bar
    int captionId;      // catalogue id; 0 for a fixed caption
    const char* form;   // registry name of what it opens; nullptr for menus
    bool submenu = false;
};

// The key-assignment editor entry: the form follows info.keyboard.
inline constexpr const char* kKeyEditor = "*keyEditor";

extern const MenuEntry kMenuEntries[];
extern const int kMenuEntryCount;

// Toolbar buttons: key, and the menu entry whose action they share.
struct ToolButton {
    const char* key;
    const char* entry; // nullptr for buttons with their own action
};
extern const ToolButton kToolButtons[];
extern const int kToolButtonCount;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(const FormRegistry& forms, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Menu entry (leaf, submenu or top-level menu) by name; nullptr when unknown.
    QAction* entry(const QString& name) const;
    QToolBar* toolbar() const { return toolbar_; }

    // Checks the entry of the code, stores the language and re-captions everything.
    void switchLanguage(int code);
    // Every caption from the catalogue in the current language.
    void refreshCaptions();
    // Serial settings, database file and enabled entries after a form changed them.
    void refreshStatus();
    // The About entry is offered only without a login.
    void setAboutAvailable(bool available);
    // Status panel 5.
    void showSerialEvent(int eventNumber);
    // The one register link; the forms reach its engine through Engine().
    ui::RegisterLink& registerLink() const { return *link_; }
    // Language, captions and status of a database that replaced the open one.
    void followDatabase();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildStatusBar();
    // Check mark, direction, fonts and captions of the language in use.
    void showLanguage();
    void openForm(const char* form);
    QString resolveForm(const char* form) const;
    void updateEnabled();

    const FormRegistry& forms_;
    QHash<QString, QAction*> entries_;
    QAction* dbAction_ = nullptr;
    QAction* exitAction_ = nullptr;
    QAction* aboutButton_ = nullptr; // the toolbar's About: offered with or without a login
    QToolBar* toolbar_ = nullptr;
    QLabel* panels_[5] = {};
    bool aboutAvailable_ = false;
    ui::RegisterLink* link_ = nullptr;
};

} // namespace ecr::gui
