#include "ErrorTrap.h"

#include "Prompter.h"
#include "Texts.h"
#include "app/AppState.h"
#include "app/ErrorLog.h"
#include "db/Database.h"

namespace ecr::ui {

void ReportError(QWidget* parent, const std::string& location, long long code, const std::string& text) {
    WriteErrorLog(location, code, text);
    Prompt().error(parent, QStringLiteral("Error"), Text(111465) + "\n" + QString::fromStdString(text));
}

bool Trapped(QWidget* parent, const std::string& location, const std::function<void()>& fn) {
    try {
        fn();
        return true;
    } catch (const db::DbError& e) {
        ReportError(parent, location, e.code(), e.what());
    } catch (const std::exception& e) {
        ReportError(parent, location, -1, e.what());
    }
    return false;
}

db::Database& Db() { return *App().conn; }

} // namespace ecr::ui
