#include "Startup.h"

#include "Artwork.h"
#include "ui/Languages.h"
#include "ui/Windows.h"
#include "LoginForm.h"
#include "ui/Prompter.h"
#include "LoginLogic.h"
#include "app/ErrorLog.h"
#include "db/Database.h"
#include "ui/DatabaseSession.h"
#include "ui/Log.h"

#include <QApplication>
#include <QMessageBox>

#include <filesystem>
#include <iostream>

namespace ecr::gui {

using namespace ecr::ui;

const char* const kUsage = "usage: ecr-manager [--db PATH] [--port DEVICE] [--verbose]\n"
                           "\n"
                           "  --db PATH       database file (default: ecr.db in the user's data folder)\n"
                           "  --port DEVICE   serial device for this run, not stored (e.g. /dev/pts/3)\n"
                           "  --verbose       debug output of every area on standard error\n"
                           "  --write-icon FILE  write the program's icon (256 x 256 PNG) and end\n"
                           "  -h, --help      show this help\n";

StartOptions ParseStartOptions(const QStringList& arguments) {
    StartOptions o;
    bool dbGiven = false, portGiven = false, iconGiven = false;
    auto take = [&](const QString& option, const QString& value) {
        bool& given = option == "--db" ? dbGiven : option == "--port" ? portGiven : iconGiven;
        if (value.isEmpty()) {
            o.error = option + " needs a value";
        } else if (given) {
            o.error = option + " is given twice";
        } else {
            given = true;
            (option == "--db" ? o.dbPath : option == "--port" ? o.port : o.writeIcon) = value.toStdString();
        }
        return o.error.isEmpty();
    };
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == "-h" || a == "--help") {
            o.help = true;
        } else if (a == "--verbose") {
            o.verbose = true;
        } else if (a == "--db" || a == "--port" || a == "--write-icon") {
            if (!take(a, i + 1 < arguments.size() ? arguments[++i] : QString())) return o;
        } else if (a.startsWith("--db=") || a.startsWith("--port=") || a.startsWith("--write-icon=")) {
            const qsizetype eq = a.indexOf('=');
            if (!take(a.left(eq), a.mid(eq + 1))) return o;
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
    if (!options.writeIcon.empty()) {
        if (ProgramPixmap(256).save(QString::fromStdString(options.writeIcon), "PNG")) return 0;
        std::cerr << "ecr-manager: cannot write " << options.writeIcon << "\n";
        return 1;
    }
    // Every window: the program's icon, and no larger than its screen.
    QApplication::setWindowIcon(ProgramIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("ecr-manager"));
    InstallWindowFitting();
    // QT_LOGGING_RULES, when set, decides alone.
    if (options.verbose || qEnvironmentVariableIsEmpty("QT_LOGGING_RULES")) SetVerboseLogging(options.verbose);

    AppState& state = App();
    DatabaseSession session(state);
    SetSession(&session);
    session.setPortOverride(options.port);
    const std::string defaultPath = DefaultDatabasePath();
    const std::string defaultFolder = std::filesystem::path(defaultPath).parent_path().string();
    if (!OpenStartupDatabase(session, options.dbPath.empty() ? defaultPath : options.dbPath, defaultFolder)) return 1;
    ApplyInterfaceLanguage(state.langCode);

    FormRegistry forms;
    RegisterStandardForms(forms);
    std::unique_ptr<MainWindow> window;
    try {
        window = StartSession(state, forms, RunLogin);
    } catch (const db::DbError& e) {
        WriteErrorLog("Main", e.code(), e.what());
        Prompt().error(nullptr, QString::fromUtf8(kStartupFailureTitle), StartupFailureText(state.dbPath, e.what()));
        return 1;
    }
    if (!window) return 0;
    window->show();
    const int rc = QApplication::exec();
    window.reset();
    SetSession(nullptr);
    return rc;
}

} // namespace ecr::gui
