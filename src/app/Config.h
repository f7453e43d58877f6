// Configuration kept in the database (info, params) and the small look-ups
// every layer shares.
#pragma once

#include "AppState.h"

#include <string>

namespace ecr {
namespace db {
class Database;
}

struct ModelInfo {
    const char* name;    // display name
    const char* ecrtype; // info.ecrtype
    int keyboard;        // info.keyboard
};
// Login list order: index 1..5.
inline constexpr ModelInfo kModels[] = {
    {"BIRCH", "BIR", 0}, {"CEDAR", "CED", 1}, {"ALDER", "ALD", 2}, {"DAPHNE", "DAP", 3}, {"EBONY", "EBO", 3},
};
// Display name of a stored model code; "" when unknown.
std::string ModelNameOf(const std::string& ecrtype);

// Model display name from info.ecrtype; CEDAR when missing or empty.
std::string ReadEcrType(db::Database& db);
// info.ver; 320 without a row or without a stored version.
int ReadDataVersion(db::Database& db);
// "100" followed by the digits of the data version, read as a number (5 -> 1005).
long long JoinRegisterVersion(int dataVersion);
// Refreshes state.registerVersion when info.keyboard is 0..4. Always true.
bool RefreshRegisterVersion(db::Database& db, AppState& state);

// Stores the serial device and rate (inserting the info row when missing).
void SaveCommSettings(db::Database& db, AppState& state, const std::string& portName, int rate);
// "COM1:115200" for the numbered ports, "/dev/ttyUSB0:115200" for a named one.
std::string CommSettingsText(const AppState& state);
// Device name for a stored port number, info.port (1 = the first serial port).
std::string DefaultPortName(int port);

void SaveLanguage(db::Database& db, AppState& state, int code);

// info.keyboard; 2 without a row.
int GetKeyboardType(db::Database& db);
// info.keyboard of a 39-key register whose keys use the second arrangement:
// chosen in the keyboard chooser, it opens that arrangement's key editor.
inline constexpr int kSecondKey39Keyboard = 4;
// The 39-key registers (either arrangement) hold 64 PLU pages and keep their
// journal after them.
inline bool IsKey39Keyboard(int keyboardType) { return keyboardType == 0 || keyboardType == kSecondKey39Keyboard; }
// params.PointEn; 2 without a row.
int GetDecimalPlaces(db::Database& db);

std::string GetBundleName(db::Database& db, const std::string& number);
std::string GetDepartName(db::Database& db, long long id);
std::string GetCashierName(db::Database& db, long long id);

// Amount in a foreign payment method (3..6) converted at the stored rate;
// 0 for other methods, without params, or with a foreign value of 0.
double ToNativeCurrency(db::Database& db, double amount, int paymentMethod);

// Start-up without forms: data and register version, model, language, serial
// settings, code page, default tax rate.
void LoadStartupState(db::Database& db, AppState& state);

} // namespace ecr
