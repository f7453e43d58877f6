// About: program name, versions, database and register model.
#pragma once

#include <QDialog>

namespace ecr::gui {

class AboutForm : public QDialog {
    Q_OBJECT
public:
    explicit AboutForm(QWidget* parent = nullptr);
};

} // namespace ecr::gui
