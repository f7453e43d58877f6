// ecr-manager: the desktop program.
#include "Startup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName("ecr");
    QApplication::setApplicationName("ecr-manager");
    return ecr::gui::RunDesktop(QApplication::arguments());
}
