// fraProgress: the panel of a paged transfer or an export, with lblProgress,
// ProgressBar1, lblStatus (attempts, time left), cmdStop, cmdContinue and
// cmdClose. A single-page transfer shows it busy: a moving bar and Stop.
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
    QLabel* statusLabel() const { return status_; }
    QPushButton* stopButton() const { return stop_; }
    QPushButton* continueButton() const { return continue_; }
    QPushButton* closeButton() const { return close_; }

    // Visible; Stop on; Continue and Close off.
    void showRunning();
    // Visible; Continue and Close on; Stop off.
    void showPaused();
    // Visible with a bar that moves without a position and Stop alone: one
    // request whose length nobody knows.
    void showBusy(const QString& text);
    // The line under the bar; empty hides it.
    void setStatus(const QString& text);

private:
    void showButtons(bool all);

    QLabel* label_;
    QProgressBar* bar_;
    QLabel* status_;
    QPushButton* stop_;
    QPushButton* continue_;
    QPushButton* close_;
};

// Time as the panel counts it down: minutes and seconds, a started second
// counted whole ("2:30", "0:05").
QString TimeLeftText(long long ms);

} // namespace ecr::ui
