#include "Startup.h"

#include "Languages.h"
#include "LoginForm.h"
#include "Prompter.h"
#include "Session.h"
#include "app/ErrorLog.h"
#include "db/Database.h"

#include <QApplication>
#include <QMessageBox>

#include <iostream>

namespace ecr::gui {

const char* const kUsage = "usage: ecr-manager [--db PATH] [--port DEVICE]\n"
                           "\n"
                           "  --db PATH       database file (default: ecr.db in the user's data folder)\n"
                           "  --port DEVICE   serial device for this run, not stored (e.g. /dev/pts/3)\n"
                           "  -h, --help      show this help\n";

StartOptions ParseStartOptions(const QStringList& arguments) {
    StartOptions o;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == "-h" || a == "--help") {
            o.help = true;
        } else if (a == "--db" || a == "--port") {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                o.error = a + " needs a value";
                return o;
            }
            (a == "--db" ? o.dbPath : o.port) = arguments[++i].toStdString();
        } else if (a.startsWith("--db=")) {
            o.dbPath = a.mid(5).toStdString();
        } else if (a.startsWith("--port=")) {
            o.port = a.mid(7).toStdString();
        } else {
            o.error = "unknown argument " + a;
            return o;
        }
    }
    return o;
}

std::unique_ptr<MainWindow> StartSession(AppState& state, const FormRegistry& forms,
                                         const std::function<bool()>& login) {
    const bool noLogin = state.oemType == 2;
    if (noLogin) {
        StoreOemDefaults(*state.conn, state);
    } else if (!login()) {
        return nullptr;
    }
    auto window = std::make_unique<MainWindow>(forms);
    window->setAboutAvailable(noLogin);
    return window;
}

bool RunLogin() {
    LoginForm login;
    login.exec();
    return login.loginOk();
}

int RunDesktop(const QStringList& arguments) {
    const StartOptions options = ParseStartOptions(arguments);
    if (options.help) {
        std::cout << kUsage;
        return 0;
    }
    if (!options.error.isEmpty()) {
        std::cerr << "ecr-manager: " << options.error.toStdString() << "\n\n" << kUsage;
        return 2;
    }

    AppState& state = App();
    auto db = OpenStartupDatabase(options.dbPath.empty() ? DefaultDatabasePath() : options.dbPath, state);
    if (!db) return 1;
    state.conn = db.get();
    if (!options.port.empty()) state.commPortName = options.port;
    ApplyLayoutDirection(state.langCode);

    FormRegistry forms;
    RegisterStandardForms(forms);
    std::unique_ptr<MainWindow> window;
    try {
        window = StartSession(state, forms, RunLogin);
    } catch (const db::DbError& e) {
        WriteErrorLog("Main", e.code(), e.what());
        Prompt().error(nullptr, QString::fromUtf8(kStartupFailureTitle), QString::fromUtf8(kStartupFailureText));
        return 1;
    }
    if (!window) return 0;
    window->show();
    const int rc = QApplication::exec();
    window.reset();
    state.conn = nullptr;
    return rc;
}

} // namespace ecr::gui
