// Every record kind the program knows, registered with the page registry.
#include "Cashier.h"
#include "Department.h"
#include "PageRegistry.h"

namespace ecr::records {

void RegisterRecordKinds() {
    PageRegistry& r = PageRegistry::instance();
    RegisterCashierKind(r);
    RegisterDepartKind(r);
}

} // namespace ecr::records
