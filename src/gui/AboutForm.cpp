#include "AboutForm.h"

#include "Artwork.h"
#include "ui/Languages.h"
#include "ui/Texts.h"
#include "app/AppState.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ecr::gui {

using namespace ecr::ui;

AboutForm::AboutForm(QWidget* parent) : QDialog(parent) {
    setObjectName("frmAbout");
    setWindowTitle(Text(110060));
    const AppState& s = App();

    auto* picture = new QLabel(this);
    picture->setObjectName("Image1");
    picture->setPixmap(ProgramIcon().pixmap(64, 64));
    picture->setAlignment(Qt::AlignTop);

    auto* name = new QLabel(Text(100000), this);
    name->setObjectName("lblName");
    QFont big = name->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.3);
    name->setFont(big);
    auto* description = new QLabel(Text(100001), this);
    description->setObjectName("lblDescription");
    description->setWordWrap(true);
    auto* version = new QLabel(QStringLiteral("Version %1 - %2").arg(s.dataVersion).arg(QString::fromStdString(s.appVersion)),
                               this);
    version->setObjectName("lblVersion");
    auto* details = new QLabel(QStringLiteral("%1\n%2\nQt %3")
                                   .arg(QString::fromStdString(s.modelName), QString::fromStdString(s.dbPath),
                                        QString::fromLatin1(qVersion())),
                               this);
    details->setObjectName("lblDetails");
    details->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* ok = new QPushButton(Text(111000), this);
    ok->setObjectName("cmdOK");
    ok->setDefault(true);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(ok, QDialogButtonBox::AcceptRole);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(description);
    text->addSpacing(6);
    text->addWidget(version);
    text->addWidget(details);
    auto* row = new QHBoxLayout;
    row->addWidget(picture);
    row->addSpacing(12);
    row->addLayout(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    setMinimumWidth(420);
    ApplyFormFont(this);
}

} // namespace ecr::gui
