// The error trap of the forms: a database or file error inside a handler is
// logged in ecr.log under the form's location and shown as message 111465
// with the error text, titled "Error"; the handler then stops where it is.
#pragma once

#include <functional>
#include <string>

class QWidget;

namespace ecr::db {
class Database;
}

namespace ecr::ui {

void ReportError(QWidget* parent, const std::string& location, long long code, const std::string& text);
// Runs fn; a database or spreadsheet error is reported as above. False when
// fn threw.
bool Trapped(QWidget* parent, const std::string& location, const std::function<void()>& fn);

// The database the forms work on (the program's one connection).
db::Database& Db();

} // namespace ecr::ui
