#include "Config.h"

#include "CodePage.h"
#include "db/Database.h"

#include <cctype>

namespace ecr {

std::string ModelNameOf(const std::string& ecrtype) {
    for (const auto& m : kModels)
        if (ecrtype == m.ecrtype || ecrtype == m.name) return m.name;
    return {};
}

std::string ReadEcrType(db::Database& db) {
    // The stored model code names the model; the program works with display
    // names (the parameter layout depends on "BIRCH"), so map the code.
    std::string code = db.scalar("SELECT ecrtype FROM info LIMIT 1").toText();
    std::string name = ModelNameOf(code);
    return name.empty() ? std::string("CEDAR") : name;
}

int ReadDataVersion(db::Database& db) {
    auto rows = db.query("SELECT ver FROM info LIMIT 1");
    // A row written before any version was stored (login, settings) has none.
    if (rows.empty() || rows.rows[0][0].isNull()) return 320;
    return static_cast<int>(rows.rows[0][0].toInt());
}

long long JoinRegisterVersion(int dataVersion) {
    if (dataVersion < 0) return 100;
    return std::stoll("100" + std::to_string(dataVersion));
}

bool RefreshRegisterVersion(db::Database& db, AppState& state) {
    auto rows = db.query("SELECT keyboard FROM info LIMIT 1");
    long long keyboard = rows.empty() ? -1 : rows.rows[0][0].toInt();
    if (!rows.empty() && !rows.rows[0][0].isNull() && keyboard >= 0 && keyboard <= 4) {
        state.dataVersion = ReadDataVersion(db);
        state.registerVersion = JoinRegisterVersion(state.dataVersion);
    }
    return true;
}

std::string DefaultPortName(int port) {
#ifdef _WIN32
    return "COM" + std::to_string(port);
#else
    return "/dev/ttyS" + std::to_string(port > 0 ? port - 1 : 0);
#endif
}

namespace {
// COMn -> n, /dev/ttySn -> n + 1; 0 for other names.
int portNumberOf(const std::string& name) {
    auto digitsAfter = [&](const std::string& prefix) -> int {
        if (name.rfind(prefix, 0) != 0 || name.size() == prefix.size()) return -1;
        for (std::size_t i = prefix.size(); i < name.size(); ++i)
            if (!std::isdigit(static_cast<unsigned char>(name[i]))) return -1;
        return std::stoi(name.substr(prefix.size()));
    };
    if (int n = digitsAfter("COM"); n >= 0) return n;
    if (int n = digitsAfter("/dev/ttyS"); n >= 0) return n + 1;
    return 0;
}
} // namespace

void SaveCommSettings(db::Database& db, AppState& state, const std::string& portName, int rate) {
    int number = portNumberOf(portName);
    if (number == 0) number = state.commPort;
    if (db.query("SELECT 1 FROM info LIMIT 1").empty())
        db.execute("INSERT INTO info(port, rate, portname) VALUES(?, ?, ?)", {number, rate, portName});
    else
        db.execute("UPDATE info SET port = ?, rate = ?, portname = ?", {number, rate, portName});
    state.commPort = number;
    state.commPortName = portName;
    state.baudRate = rate;
}

std::string CommSettingsText(const AppState& state) {
    const std::string name = state.commPortName.empty() ? DefaultPortName(state.commPort) : state.commPortName;
    if (name == DefaultPortName(state.commPort) || name.rfind("COM", 0) == 0)
        return "COM" + std::to_string(state.commPort) + ":" + std::to_string(state.baudRate);
    return name + ":" + std::to_string(state.baudRate);
}

void SaveLanguage(db::Database& db, AppState& state, int code) {
    if (db.query("SELECT 1 FROM info LIMIT 1").empty())
        db.execute("INSERT INTO info(lang) VALUES(?)", {code});
    else
        db.execute("UPDATE info SET lang = ?", {code});
    state.langCode = code;
}

int GetKeyboardType(db::Database& db) {
    auto rows = db.query("SELECT keyboard FROM info LIMIT 1");
    if (rows.empty()) return 2;
    return static_cast<int>(rows.rows[0][0].toInt());
}

int GetDecimalPlaces(db::Database& db) {
    auto rows = db.query("SELECT PointEn FROM params LIMIT 1");
    if (rows.empty()) return 2;
    return static_cast<int>(rows.rows[0][0].toInt());
}

std::string GetBundleName(db::Database& db, const std::string& number) {
    return db.scalar("SELECT BundleName FROM bundle WHERE BundleNumber = ? LIMIT 1", {number}).toText();
}

std::string GetDepartName(db::Database& db, long long id) {
    return db.scalar("SELECT Name FROM depart WHERE id = ? LIMIT 1", {id}).toText();
}

std::string GetCashierName(db::Database& db, long long id) {
    return db.scalar("SELECT Name FROM cashier WHERE id = ? LIMIT 1", {id}).toText();
}

double ToNativeCurrency(db::Database& db, double amount, int paymentMethod) {
    if (paymentMethod < 3 || paymentMethod > 6) return 0;
    const std::string n = std::to_string(paymentMethod);
    auto rows = db.query("SELECT PayWay" + n + "NativeCurrency, PayWay" + n + "ForeignCurrency FROM params LIMIT 1");
    if (rows.empty()) return 0;
    const double native = rows.rows[0][0].toDouble();
    const double foreign = rows.rows[0][1].toDouble();
    if (foreign == 0) return 0; // no rate set: nothing to convert
    return amount * native / foreign;
}

void LoadStartupState(db::Database& db, AppState& state) {
    state.dataVersion = ReadDataVersion(db);
    state.registerVersion = JoinRegisterVersion(state.dataVersion);
    state.modelName = ReadEcrType(db);
    state.oemMode = false;
    state.oemType = 0;
    auto info = db.query("SELECT lang, port, rate, oem, portname, codepage FROM info LIMIT 1");
    if (info.empty()) {
        state.langCode = 1;
        state.commPort = 1;
        state.baudRate = 115200;
        state.commPortName.clear();
    } else {
        const auto& r = info.rows[0];
        state.langCode = static_cast<int>(r[0].toInt());
        state.commPort = r[1].isNull() ? 1 : static_cast<int>(r[1].toInt());
        state.baudRate = r[2].isNull() ? 115200 : static_cast<int>(r[2].toInt());
        if (r[3].toInt() == 1) {
            state.oemMode = true;
            state.oemType = 2;
        }
        state.commPortName = r[4].toText();
        if (!r[5].isNull() && !r[5].toText().empty()) SetRegisterCodePage(r[5].toText());
    }
    auto params = db.query("SELECT TaxDefaultValue FROM params LIMIT 1");
    state.taxDefault = params.empty() ? 0.0 : params.rows[0][0].toDouble();
}

} // namespace ecr
