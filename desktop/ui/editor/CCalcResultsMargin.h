// The results margin: a column at the editor's right showing, level with the
// last line of each statement, the value Execute would give it now (grey), or
// its first report (in the error colour). The values are worked out after
// each edit by NCalculatorText::CSheetRun in a sandbox, so nothing real
// changes and nothing is written into the text. A result written in the
// text ("=...") that is not what its statement calculates now is dimmed
// (the view's Stale marks), with the new value in its tooltip.
//
// The run is paced in steps of at most StepMilliseconds on the window's
// thread, the thread every other calculation of the engine is started from:
// between two steps the next key is handled, and a new text makes the next
// step go on from the checkpoint before the first statement it changed. A
// step never starts while a calculation runs (the engine's process-wide state
// is the calculation's then); the preview runs on the same thread, so the two
// never overlap either.
#pragma once

#include <QBasicTimer>
#include <QWidget>

#include <functional>
#include <vector>

#include "core/engine/SheetRun.h"
#include "core/formats/NumberFormat.h"

class CCalcView;

class CCalcResultsMargin final : public QWidget {
    Q_OBJECT

public:
    // The colour a value (or a failure) is written in on palette: text that
    // reads on the base, light or dark.
    static QColor valueColor(bool failed, const QPalette& palette);

    static constexpr int StepMilliseconds = 8;
    // How long after the last key the run starts again: typing faster than
    // this scans the text once, at the pause.
    static constexpr int DelayMilliseconds = 20;

    explicit CCalcResultsMargin(CCalcView* view);

    void setEnabled(bool enabled);
    bool isEnabled() const { return enabled_; }
    // Whether a calculation runs now: steps wait until it is over.
    void setEngineBusy(std::function<bool()> busy) { busy_ = std::move(busy); }
    // The text was calculated, or the memory or the settings changed: the
    // sandbox starts again from the process-wide state as it is now.
    void rebase();
    // The text is about to be calculated: the sandbox starts from the state
    // as it is now, before the calculation, so that the margin shows what
    // the calculation writes (random values included). The changes the
    // calculation announces afterwards do not take another sandbox.
    void takeBaseNow();
    // The calculation is over and has announced its changes.
    void calculationEnded() { holdBase_ = false; }

    // Whether every statement has its value for the text as it is now.
    bool isUpToDate() const { return enabled_ && !dirty_ && run_.Finished(); }
    // The value of the statement at position pos, when worked out.
    const NCalculatorText::SheetValue* valueAt(int pos) const;
    const NCalculatorText::CSheetRun& sheet() const { return run_; }

    // One shown entry: the line (1-based, of the text's lines) and its text.
    struct Item {
        int Line = 0;
        QString Text;
        bool Failed = false;
        int Top = 0;  // in the margin's coordinates
    };
    // What the margin shows now, top to bottom.
    const std::vector<Item>& items() const { return items_; }
    // The text of a value as the margin shows it.
    static QString Describe(const NCalculatorText::SheetValue& value, bool upper,
                            int digits = NCalculatorText::FullDigits);
    // Whether a result read back from the text as written is the value, as
    // written in full or with digits significant digits.
    static bool WrittenAs(double written, double value, int digits);
    // The tooltip of a stale result.
    static QString StaleToolTip(const QString& now);
    // The tooltip of the stale result at position pos of the text, or empty.
    QString staleToolTipAt(int pos) const;

signals:
    // The shown values changed.
    void itemsChanged();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void schedule(int milliseconds = 0);
    void step();
    void place();
    void collectItems();
    void markStale();

    CCalcView* view_;
    // The view's viewport, compared as a pointer only: events still reach the
    // filter while the view is being taken apart.
    const QObject* viewport_ = nullptr;
    NCalculatorText::CSheetRun run_;
    QBasicTimer timer_;
    std::function<bool()> busy_;
    std::vector<Item> items_;
    // The tooltips of the stale marks, by their tags.
    std::vector<QString> staleTips_;
    bool enabled_ = false;
    bool dirty_ = true;
    bool based_ = false;
    // Whether this run's entries for the screen were collected already.
    bool shownCollected_ = false;
    // Set from takeBaseNow() until the calculation ended: rebase() keeps the
    // sandbox.
    bool holdBase_ = false;
};
