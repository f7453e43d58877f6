#include "AboutForm.h"
#include "CommSetForm.h"
#include "FormRegistry.h"
#include "PasswordForm.h"

namespace ecr::gui {

void RegisterStandardForms(FormRegistry& forms) {
    forms.add("frmCommSet", FormRegistry::modal<CommSetForm>());
    forms.add("frmModifyLoginPasswd", FormRegistry::modal<PasswordForm>());
    forms.add("frmAbout", FormRegistry::modal<AboutForm>());
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
