#include "AboutForm.h"
#include "CommSetForm.h"
#include "FormRegistry.h"
#include "PasswordForm.h"
#include "editors/CashierForm.h"
#include "editors/DepartForm.h"
#include "editors/PluForm.h"
#include "import/forms/ImportForm.h"

namespace ecr::gui {

using namespace ecr::ui;

void RegisterStandardForms(FormRegistry& forms) {
    forms.add("frmCommSet", FormRegistry::modal<CommSetForm>());
    forms.add("frmModifyLoginPasswd", FormRegistry::modal<PasswordForm>());
    forms.add("frmAbout", FormRegistry::modal<AboutForm>());
    forms.add("frmPLU", FormRegistry::modal<editors::PluForm>());
    forms.add("frmDepart", FormRegistry::modal<editors::DepartForm>());
    forms.add("frmCashierStruct", FormRegistry::modal<editors::CashierForm>());
    forms.add("frmImport", FormRegistry::modal<import::ImportForm>());
}

QString KeyEditorFormName(int keyboardType) {
    switch (keyboardType) {
    case 0: return QStringLiteral("frmDefineKey39");
    case 1: return QStringLiteral("frmDefineKey48");
    case 3: return QStringLiteral("frmDefineKey93");
    default: return QStringLiteral("frmDefineKey59");
    }
}

} // namespace ecr::gui
