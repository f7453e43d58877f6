#include "RegisterLink.h"

#include "app/AppState.h"

namespace ecr::ui {

RegisterLink::RegisterLink(QObject* parent)
    : QObject(parent), transport_([] { return link::PortSettingsOf(App()); }) {}

RegisterLink::~RegisterLink() {
    engine_.reset(); // before the page I/O it refers to
}

link::TransferEngine* RegisterLink::engine() {
    db::Database* db = App().conn;
    if (!db) return engine_ && engine_->busy() ? engine_.get() : nullptr;
    if (engine_ && &io_->database() != db && !engine_->busy()) {
        // The page I/O holds the database by reference.
        engine_.reset();
        io_.reset();
    }
    if (!engine_) {
        io_ = std::make_unique<rows::DbPageIO>(*db, App());
        engine_ = std::make_unique<link::TransferEngine>(transport_, *io_, clock_);
    }
    return engine_.get();
}

namespace {
std::function<link::TransferEngine*()>& source() {
    static std::function<link::TransferEngine*()> s;
    return s;
}
} // namespace

link::TransferEngine* Engine() { return source() ? source()() : nullptr; }

void SetEngineSource(std::function<link::TransferEngine*()> s) { source() = std::move(s); }

} // namespace ecr::ui
