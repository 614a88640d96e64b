// The small "Calculating…" bar under the editor, with its Cancel button. It
// shows once a calculation has run for half a second, so that a quick one
// never makes it flicker, and goes with the calculation.
#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;
class QPushButton;

class CCalcBusyBar final : public QWidget {
    Q_OBJECT

public:
    // How long a calculation runs before the bar shows.
    static constexpr int ShowAfterMilliseconds = 500;

    explicit CCalcBusyBar(QWidget* parent = nullptr);

    // Follows the calculation: starts the half second, or hides the bar.
    void setCalculationRunning(bool running);

    QPushButton* cancelButton() const { return cancel_; }

signals:
    void cancelRequested();

private:
    QLabel* label_;
    QPushButton* cancel_;
    QTimer showTimer_;
};
