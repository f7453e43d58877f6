// State shared by the whole program: the open database, configuration read at
// start-up, the chosen language and model, and the serial settings.
#pragma once

#include <string>

namespace ecr {
namespace db {
class Database;
}

struct AppState {
    db::Database* conn = nullptr;
    std::string dbFileName;          // shown in the status bar
    std::string dbPath;              // full path of the database file
    std::string appVersion = "091017";
    int dataVersion = 320;           // info.ver
    long long registerVersion = 100320; // "100" followed by dataVersion
    std::string modelName = "CEDAR";
    bool oemMode = false;
    int oemType = 0;                 // 2: no login
    int langCode = 1;                // 1..7
    int commPort = 1;                // stored port number, info.port (1 = COM1, /dev/ttyS0)
    std::string commPortName;        // the device actually opened
    int baudRate = 115200;
    double taxDefault = 0;
    bool storeParameters = false;    // a received parameter page replaces params
};

// The one instance for the process.
AppState& App();

} // namespace ecr
