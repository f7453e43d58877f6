// The program's one register link: the serial port, the clock and the transfer
// engine that every editor's upload and download go through, owned by the
// main window for the whole run. Forms reach it through Engine().
#pragma once

#include "link/Clock.h"
#include "link/SerialTransport.h"
#include "link/TransferEngine.h"
#include "records/rows/DbPageIO.h"

#include <QObject>

#include <functional>
#include <memory>

namespace ecr::ui {

class RegisterLink : public QObject {
    Q_OBJECT
public:
    // The port and rate are those of App() at each transfer (--port sets the
    // device for the run without storing it).
    explicit RegisterLink(QObject* parent = nullptr);
    ~RegisterLink() override;

    // The engine over the open database; built on first use and built again
    // when the database was switched while no transfer ran. nullptr without a
    // database.
    link::TransferEngine* engine();
    link::Transport& transport() { return transport_; }

private:
    link::SerialTransport transport_;
    link::QtClock clock_;
    std::unique_ptr<rows::DbPageIO> io_;
    std::unique_ptr<link::TransferEngine> engine_;
};

// The engine the forms use; nullptr when none is installed.
link::TransferEngine* Engine();
// Installs where Engine() comes from (the main window's link, or a test's
// engine); an empty function uninstalls.
void SetEngineSource(std::function<link::TransferEngine*()> source);
inline void SetEngine(link::TransferEngine* engine) {
    SetEngineSource(engine ? std::function<link::TransferEngine*()>([engine] { return engine; })
                           : std::function<link::TransferEngine*()>());
}

} // namespace ecr::ui
