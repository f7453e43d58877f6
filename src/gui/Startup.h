// The program's start: database, configuration, login (or none), main window.
#pragma once

#include "FormRegistry.h"
#include "MainWindow.h"
#include "app/AppState.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <string>

namespace ecr::gui {

// Command line: --db PATH, --port DEVICE, --verbose. Sets error when the
// arguments are wrong (a missing or empty value, an option given twice).
struct StartOptions {
    std::string dbPath; // empty: the default database
    std::string writeIcon; // --write-icon FILE: the program's icon as a PNG, for the install step
    std::string port;   // serial device for this run only (a simulator's pty); empty: the stored one
    bool help = false;
    bool verbose = false; // debug output of every ecr.* category
    QString error;
};
StartOptions ParseStartOptions(const QStringList& arguments);
extern const char* const kUsage;

// After the configuration was read: the login (unless info.oem = 1, which
// stores language 2 and model CEDAR instead), then the main window, not yet
// shown. nullptr when the login was cancelled. login shows the login form and
// tells whether it succeeded.
std::unique_ptr<MainWindow> StartSession(AppState& state, const FormRegistry& forms,
                                         const std::function<bool()>& login);

// The login form, modally.
bool RunLogin();

// The whole start for main(): returns the process exit code.
int RunDesktop(const QStringList& arguments);

} // namespace ecr::gui
