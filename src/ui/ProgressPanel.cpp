#include "ProgressPanel.h"

#include "Controls.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace ecr::ui {

ProgressPanel::ProgressPanel(QWidget* parent) : QFrame(parent) {
    setObjectName("fraProgress");
    setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    label_ = new QLabel(this);
    label_->setObjectName("lblProgress");
    label_->setWordWrap(true);
    bar_ = new QProgressBar(this);
    bar_->setObjectName("ProgressBar1");
    bar_->setTextVisible(false);
    status_ = new QLabel(this);
    status_->setObjectName("lblStatus");
    status_->setWordWrap(true);
    status_->hide();
    stop_ = MakeButton(this, "cmdStop", 111524);
    continue_ = MakeButton(this, "cmdContinue", 111527);
    close_ = MakeButton(this, "cmdClose", 111525);
    auto* buttons = TrailingButtons({stop_, continue_, close_});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(bar_);
    layout->addWidget(status_);
    layout->addLayout(buttons);
}

void ProgressPanel::showButtons(bool all) {
    continue_->setVisible(all);
    close_->setVisible(all);
}

void ProgressPanel::showRunning() {
    showButtons(true);
    continue_->setEnabled(false);
    stop_->setEnabled(true);
    close_->setEnabled(false);
    show();
}

void ProgressPanel::showPaused() {
    showButtons(true);
    continue_->setEnabled(true);
    stop_->setEnabled(false);
    close_->setEnabled(true);
    show();
}

void ProgressPanel::showBusy(const QString& text) {
    showButtons(false);
    label_->setText(text);
    setStatus({});
    bar_->setRange(0, 0);
    stop_->setEnabled(true);
    show();
}

void ProgressPanel::setStatus(const QString& text) {
    status_->setText(text);
    status_->setVisible(!text.isEmpty());
}

QString TimeLeftText(long long ms) {
    const long long seconds = ms <= 0 ? 0 : (ms + 999) / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace ecr::ui
