// Every record kind the program knows, registered with the page registry.
#include "Bundle.h"
#include "Cashier.h"
#include "Department.h"
#include "Fiscal.h"
#include "Hotkey.h"
#include "Journal.h"
#include "Member.h"
#include "PageRegistry.h"
#include "Params.h"
#include "Plu.h"
#include "Promotion.h"

namespace ecr::records {

void RegisterRecordKinds() {
    PageRegistry& r = PageRegistry::instance();
    RegisterCashierKind(r);
    RegisterDepartKind(r);
    RegisterParamKind(r);
    RegisterPluKind(r);
    RegisterJournalKinds(r);
    RegisterKeyboardKind(r);
    RegisterMemberKind(r);
    RegisterBundleKind(r);
    RegisterPromotionKind(r);
    RegisterFiscalKinds(r);
}

} // namespace ecr::records
