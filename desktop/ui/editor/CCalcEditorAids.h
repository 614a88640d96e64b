// What the editor offers beyond plain editing: the value of the statement at
// the caret (CCalcLivePreview), colours and the bracket pair
// (CCalcHighlighter), the statements a calculation's records come from
// underlined, and name completion (CCalcCompletion). Two commands switch
// them: View > Live value, and View > Highlighting and completion for all
// the rest; both are on by default and kept under "GUI/Editor"
// ("LiveValue", "Highlighting").
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

    // Whether a calculation runs now (the preview waits for its end).
    void setEngineBusy(std::function<bool()> busy);
    // The last result, the memory or the settings changed: the value at the
    // caret may be another now.
    void refreshLiveValue();
    // A calculation started (the completion list closes: the memory is the
    // calculation's until it ends) or ended.
    void calculationRunning(bool running);

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
    bool highlighting_ = true;
    QTimer* unsetCellsTimer_;
    std::function<bool()> busy_;
};
