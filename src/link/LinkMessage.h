// What the link tells the user, as catalogue ids with their data. The engine
// never looks texts up; front ends turn these into words (TransferText.h).
#pragma once

#include <string>
#include <vector>

namespace ecr::link {

namespace msg {
inline constexpr int Title = 111115;          // title of every transfer message box
inline constexpr int WriteTimedOut = 111117;  // download: no answer
inline constexpr int WriteDone = 111118;
inline constexpr int ReadTimedOut = 111120;   // upload: no answer
inline constexpr int ConfirmWrite = 111166;
inline constexpr int ConfirmRead = 111201;
inline constexpr int NothingToRequest = 111210;
inline constexpr int BadAddress = 111211;
inline constexpr int BadChecksum = 111212;
inline constexpr int Refused = 111213;        // result code 3
inline constexpr int RegisterError = 111214;  // result code 1
inline constexpr int ReadDone = 111235;
inline constexpr int ConfirmClock = 111414;
inline constexpr int ClockDone = 111415;
inline constexpr int ErrorOccurred = 111465;  // prefix of trapped error texts
inline constexpr int EndBeforeStart = 111526;
inline constexpr int LogoDone = 111128;
inline constexpr int NoSuchFile = 111127;
inline constexpr int PortBusyTitle = 111608;
inline constexpr int PortBusy = 111609;       // closing a form while the port is open
inline constexpr int RowsRefused = 120100;    // "%1 rows cannot be written into the register; nothing was sent:"
inline constexpr int ProblemLine = 120101;    // "%1 %2, %3" kind, row, reason
inline constexpr int RecordsSkipped = 120103; // "%1 records could not be stored and were left out:"
inline constexpr int SkippedLine = 120104;    // "%1, page %2, record %3: %4"
inline constexpr int RowsMoved = 120105;      // "%1 rows were moved to a free place ..."
inline constexpr int PortOpenFailed = 120106; // "The serial port %1 cannot be opened: %2"
inline constexpr int PortLost = 120107;       // "The connection to %1 was lost: %2"
} // namespace msg

struct LinkMessage {
    int id = 0;                    // catalogue text; 0: the detail stands alone
    std::vector<std::string> args; // %1, %2, ... of the text
    std::string detail;            // the line after the text: an error's own words
    bool empty() const { return id == 0 && detail.empty(); }
    bool operator==(const LinkMessage&) const = default;
};

} // namespace ecr::link
