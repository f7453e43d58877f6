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

int SerialEventMessage(int n) {
    switch (n) {
    case event::Receive: return 120810;
    case event::Send: return 120811;
    case event::Cts: return 120812;
    case event::Dsr: return 120813;
    case event::Cd: return 120814;
    case event::Ring: return 120815;
    case event::Eof: return 120816;
    case event::Break: return 120817;
    case event::CtsTimeout: return 120818;
    case event::DsrTimeout: return 120819;
    case event::Frame: return 120820;
    case event::Overrun: return 120821;
    case event::CdTimeout: return 120822;
    case event::RxOver: return 120823;
    case event::RxParity: return 120824;
    case event::TxFull: return 120825;
    case event::Dcb: return 120826;
    default: return 120827;
    }
}

} // namespace ecr::link
