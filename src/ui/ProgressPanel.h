// fraProgress: the panel of a paged transfer or an export, with lblProgress,
// ProgressBar1, cmdStop, cmdContinue and cmdClose.
#pragma once

#include <QFrame>

class QLabel;
class QProgressBar;
class QPushButton;

namespace ecr::ui {

class ProgressPanel : public QFrame {
    Q_OBJECT
public:
    explicit ProgressPanel(QWidget* parent);
    QLabel* label() const { return label_; }
    QProgressBar* bar() const { return bar_; }
    QPushButton* stopButton() const { return stop_; }
    QPushButton* continueButton() const { return continue_; }
    QPushButton* closeButton() const { return close_; }

    // Visible; Stop on; Continue and Close off.
    void showRunning();
    // Visible; Continue and Close on; Stop off.
    void showPaused();

private:
    QLabel* label_;
    QProgressBar* bar_;
    QPushButton* stop_;
    QPushButton* continue_;
    QPushButton* close_;
};

} // namespace ecr::ui
