#include "AboutForm.h"
#include "CommSetForm.h"
#include "FormRegistry.h"
#include "PasswordForm.h"
#include "editors/BundleForm.h"
#include "editors/CashierForm.h"
#include "editors/DepartForm.h"
#include "editors/MemberForm.h"
#include "editors/ParamsForm.h"
#include "editors/PluForm.h"
#include "editors/PromotionForm.h"
#include "import/forms/ImportForm.h"
#include "keyboard/KeyEditor.h"
#include "keyboard/KeyboardTypeForm.h"
#include "reports/forms/ReportForm.h"

namespace ecr::gui {

using namespace ecr::ui;

void RegisterStandardForms(FormRegistry& forms) {
    forms.add("frmCommSet", FormRegistry::modal<CommSetForm>());
    forms.add("frmModifyLoginPasswd", FormRegistry::modal<PasswordForm>());
    forms.add("frmAbout", FormRegistry::modal<AboutForm>());
    forms.add("frmPLU", FormRegistry::modal<editors::PluForm>());
    forms.add("frmDepart", FormRegistry::modal<editors::DepartForm>());
    forms.add("frmCashierStruct", FormRegistry::modal<editors::CashierForm>());
    forms.add("frmPara", FormRegistry::modal<editors::ParamsForm>());
    forms.add("frmMember", FormRegistry::modal<editors::MemberForm>());
    forms.add("frmPromotion", FormRegistry::modal<editors::PromotionForm>());
    forms.add("frmBundle", FormRegistry::modal<editors::BundleForm>());
    forms.add("frmImport", FormRegistry::modal<import::ImportForm>());
    forms.add("frmRpt1", reports::forms::OpenReport("frmRpt1"));
    forms.add("frmRpt2", reports::forms::OpenReport("frmRpt2"));
    forms.add("frmRpt3", reports::forms::OpenReport("frmRpt3"));
    forms.add("frmRpt4", reports::forms::OpenReport("frmRpt4"));
    forms.add("frmRpt5", reports::forms::OpenReport("frmRpt5"));
    forms.add("frmRpt6", reports::forms::OpenReport("frmRpt6"));
    forms.add("frmRpt7", reports::forms::OpenReport("frmRpt7"));
    forms.add("frmRpt8", reports::forms::OpenReport("frmRpt8"));
    forms.add("frmRpt9", reports::forms::OpenReport("frmRpt9"));
    forms.add("frmRpt10", reports::forms::OpenReport("frmRpt10"));
    forms.add("frmRpt11", reports::forms::OpenReport("frmRpt11"));
    forms.add("frmRpt12", reports::forms::OpenReport("frmRpt12"));
    forms.add("frmRptHourly", reports::forms::OpenReport("frmRptHourly"));
    forms.add("frmMemberRpt", reports::forms::OpenReport("frmMemberRpt"));
    for (int layout : keyboard::kChooserLayouts) forms.add(keyboard::EditorFormName(layout), keyboard::EditorOpener(layout));
    forms.add("frmKeyboardType", FormRegistry::modal<keyboard::KeyboardTypeForm>());
}

QString KeyEditorFormName(int keyboardType, int oemType) {
    return keyboard::EditorFormName(keyboard::LayoutForKeyboardType(keyboardType, oemType));
}

} // namespace ecr::gui
