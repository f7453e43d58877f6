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
    bar_ = new QProgressBar(this);
    bar_->setObjectName("ProgressBar1");
    bar_->setTextVisible(false);
    stop_ = MakeButton(this, "cmdStop", 111524);
    continue_ = MakeButton(this, "cmdContinue", 111527);
    close_ = MakeButton(this, "cmdClose", 111525);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(stop_);
    buttons->addWidget(continue_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(bar_);
    layout->addLayout(buttons);
}

void ProgressPanel::showRunning() {
    continue_->setEnabled(false);
    stop_->setEnabled(true);
    close_->setEnabled(false);
    show();
}

void ProgressPanel::showPaused() {
    continue_->setEnabled(true);
    stop_->setEnabled(false);
    close_->setEnabled(true);
    show();
}

} // namespace ecr::ui
