#include "SerialEvents.h"

namespace ecr::link {

const char* SerialEventText(int n) {
    switch (n) {
    case event::Receive: return "EvReceive";
    case event::Send: return "EvSend";
    case event::Cts: return "EvCTS";
    case event::Dsr: return "EvDSR";
    case event::Cd: return "EvCD";
    case event::Ring: return "EvRing";
    case event::Eof: return "EvEOF";
    case event::Break: return "Break Error";
    case event::CtsTimeout: return "CTSTO Error";
    case event::DsrTimeout: return "DSRTO Error";
    case event::Frame: return "Frame Error";
    case event::Overrun: return "Overrun Error";
    case event::CdTimeout: return "CDTO Error";
    case event::RxOver: return "RxOver Error";
    case event::RxParity: return "RxParity Error";
    case event::TxFull: return "TxFull Error";
    case event::Dcb: return "DCB Error";
    default: return "Other Error";
    }
}

} // namespace ecr::link
