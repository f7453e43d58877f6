// A QCoreApplication for tests that need Qt's event loop (socket notifiers,
// serial ports). Include in exactly one source of the test binary.
#pragma once

#include <QCoreApplication>

#include <chrono>
#include <functional>

namespace {
int qtArgc = 1;
char qtArg0[] = "test";
char* qtArgv[] = {qtArg0, nullptr};
QCoreApplication* const qtApp = new QCoreApplication(qtArgc, qtArgv);
} // namespace

// Runs the event loop until done() or the deadline; true when done.
inline bool ProcessUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}
