// The file row of the database and register backup forms:
// "File name: [txtFileName] [Command1]".
#pragma once

#include "ui/Controls.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace ecr::maintenance {

struct FileRow {
    QLineEdit* fileName;
    QPushButton* browse;
    QHBoxLayout* layout;
};

inline FileRow MakeFileRow(QWidget* parent) {
    constexpr int kFileName = 111043, kBrowse = 111042;
    QLabel* label = ui::MakeLabel(parent, "Label1", kFileName);
    auto* fileName = new QLineEdit(parent);
    fileName->setObjectName("txtFileName");
    fileName->setMinimumWidth(380);
    FileRow r{fileName, ui::MakeButton(parent, "Command1", kBrowse), new QHBoxLayout};
    r.layout->addWidget(label);
    r.layout->addWidget(r.fileName, 1);
    r.layout->addWidget(r.browse);
    return r;
}

} // namespace ecr::maintenance
