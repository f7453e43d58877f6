// Status-bar texts of the serial events, by the event numbers the serial
// control publishes (2 receive, 1 send, 1001.. errors).
#pragma once

namespace ecr::link {

namespace event {
inline constexpr int Send = 1, Receive = 2, Cts = 3, Dsr = 4, Cd = 5, Ring = 6, Eof = 7;
inline constexpr int Break = 1001, CtsTimeout = 1002, DsrTimeout = 1003, Frame = 1004, Overrun = 1006,
                     CdTimeout = 1007, RxOver = 1008, RxParity = 1009, TxFull = 1010, Dcb = 1011;
// Errors the serial control has no number for (device lost, read failure).
inline constexpr int Other = 1099;
} // namespace event

// "EvReceive", "Frame Error", ...; "Other Error" for unknown numbers. The
// names the serial control gives its events, for the log.
const char* SerialEventText(int eventNumber);
// The event in words for the user: its catalogue id ("Data received",
// "Framing error", ...; "Serial port error" for unknown numbers).
int SerialEventMessage(int eventNumber);

} // namespace ecr::link
