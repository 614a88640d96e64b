// The value of the statement at the caret, shown while the user types: soon
// after each edit or caret move the statement Calculate would run is
// previewed (NCalculatorText::PreviewStatement, which leaves no trace) and
// its value, or why it would fail, is offered to the status bar.
#pragma once

#include <QBasicTimer>
#include <QObject>
#include <QString>

#include <functional>

#include "core/engine/Preview.h"

class CCalcView;
namespace Tevra {
struct CCalcSettings;
}

class CCalcLivePreview final : public QObject {
    Q_OBJECT

public:
    // How long after the last key press the preview runs: typing faster
    // than this previews once, at the pause. With the preview's own time (a
    // few milliseconds, 15 on four million blanks) the value shows well
    // within 50 ms of the key.
    static constexpr int DelayMilliseconds = 20;

    explicit CCalcLivePreview(CCalcView* view);

    void setEnabled(bool enabled);
    bool isEnabled() const { return enabled_; }
    // Whether a calculation runs now: the engine's state is then the
    // calculation's, and the preview waits until it is over.
    void setEngineBusy(std::function<bool()> busy) { busy_ = std::move(busy); }

    // What to show: "= 5", the reason it would fail, or empty (the caret
    // stands in no statement, the statement would take long, or the preview
    // is off).
    QString text() const { return text_; }
    // Previews again after the delay (the text, the caret, the memory, the
    // last result or the settings changed).
    void schedule();
    // Whether a preview waits for its delay to pass.
    bool isPending() const { return timer_.isActive(); }
    // Previews now, unless a calculation runs.
    void refresh();

    // The text of an outcome: "= " and the value in the number format,
    // followed by the first warning in brackets; the first report when it
    // fails; each report with its hint behind a colon when the statement
    // shows a known mistake. Failing without a report, a list says it has
    // no single value; anything else "No value".
    static QString DescribeOutcome(const NCalculatorText::PreviewOutcome& outcome,
                                   const Tevra::CCalcSettings& settings);

signals:
    void textChanged(const QString& text);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void show(const QString& text);

    CCalcView* view_;
    QBasicTimer timer_;
    std::function<bool()> busy_;
    QString text_;
    bool enabled_ = false;
};
