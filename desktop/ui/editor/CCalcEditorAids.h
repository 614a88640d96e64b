// What the editor offers beyond plain editing: the value of the statement at
// the caret (CCalcLivePreview), colours and the bracket pair
// (CCalcHighlighter), the statements a calculation's records come from
// underlined, name completion (CCalcCompletion) and the value of every
// statement beside it (CCalcResultsMargin). Three commands switch them: View
// > Live value, View > Highlighting and completion, and View > Results
// margin; all are on by default and kept under "GUI/Editor" ("LiveValue",
// "Highlighting", "ResultsMargin"). Edit > Copy Value copies the value of the
// statement at the caret.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

#include "core/files/CCalcRunReport.h"

class CCalcCompletion;
class QTimer;
class CCalcHighlighter;
class CCalcLivePreview;
class CCalcResultsMargin;
class CCalcView;
class ICalcCommandBinder;

class CCalcEditorAids final : public QObject {
    Q_OBJECT

public:
    // Reads its settings; writes them when destroyed (with the view).
    explicit CCalcEditorAids(CCalcView* view);
    ~CCalcEditorAids() override;

    // Binds View > Live value and View > Highlighting and completion.
    void bindCommands(ICalcCommandBinder& commands);

    bool liveValue() const;
    void setLiveValue(bool on);
    bool highlighting() const;
    void setHighlighting(bool on);
    bool resultsMargin() const;
    void setResultsMargin(bool on);

    // The value Copy Value copies: that of the statement at the caret, or
    // the last result when it has none, at full precision.
    QString valueToCopy() const;
    void copyValue() const;

    // Whether a calculation runs now (the preview waits for its end).
    void setEngineBusy(std::function<bool()> busy);
    // The last result, the memory or the settings changed: the value at the
    // caret may be another now.
    void refreshLiveValue();
    // A calculation started (the completion list closes: the memory is the
    // calculation's until it ends) or ended.
    void calculationRunning(bool running);
    // The text is about to be calculated: the margin's sandbox starts from
    // the state the calculation starts from.
    void calculationStarting();

    // A run's records: errors get a red wavy line under their statement,
    // warnings a blue one, until the text next changes; row i of the log is
    // statements[i].
    void showRunReports(const std::vector<CCalcReportedStatement>& statements);
    // Selects the statement of log row row and scrolls it into view; false
    // when the row names no statement.
    bool selectReport(int row);

    CCalcLivePreview* preview() const { return preview_; }
    CCalcHighlighter* highlighter() const { return highlighter_; }
    CCalcCompletion* completion() const { return completion_; }
    CCalcResultsMargin* resultsMarginWidget() const { return margin_; }

    void saveSettings() const;

    // Marks, soon, the memory cells the text reads before anything stored
    // them (a dotted underline with the "has no value yet" tooltip).
    void scheduleUnsetCells();

    // Texts longer than this are not searched for cells without a value.
    static constexpr int LongestTextForUnsetCells = 200000;

signals:
    // The text for the status bar's first pane: the live value, or empty
    // for its idle text.
    void liveValueChanged(const QString& text);
    // One of the two switches changed (the commands' check marks follow).
    void switchesChanged();

private:
    void loadSettings();
    void plainFindings();
    void markUnsetCells();

    CCalcView* view_;
    CCalcLivePreview* preview_;
    CCalcHighlighter* highlighter_;
    CCalcCompletion* completion_;
    CCalcResultsMargin* margin_;
    bool highlighting_ = true;
    QTimer* unsetCellsTimer_;
    std::function<bool()> busy_;
};
