// Message ids the link reports, and their texts.
#pragma once

#include <string>

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
} // namespace msg

// Catalogue text in the current language. Never empty: a missing text reads
// "[id]", so a failure can never pass for success (LastMessage "" = success).
std::string LinkText(int id);

} // namespace ecr::link
