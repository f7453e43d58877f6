#include "RegisterLink.h"

#include "app/AppState.h"

namespace ecr::ui {

RegisterLink::RegisterLink(QObject* parent)
    : QObject(parent), transport_([] { return link::PortSettingsOf(App()); }) {
    records::RegisterRecordKinds();
}

RegisterLink::~RegisterLink() {
    engine_.reset(); // before the context it refers to
}

link::TransferEngine* RegisterLink::engine() {
    db::Database* db = App().conn;
    if (!db) return engine_ && engine_->busy() ? engine_.get() : nullptr;
    if (engine_ && &ctx_->db != db && !engine_->busy()) {
        // The page context holds the database by reference.
        engine_.reset();
        ctx_.reset();
    }
    if (!engine_) {
        ctx_ = std::make_unique<records::PageContext>(records::PageContext{*db, App(), journal_});
        engine_ = std::make_unique<link::TransferEngine>(transport_, *ctx_, clock_);
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
