// Runs the document's calculations on CCalcCalculation's worker (Calculate and
// Calculate all with the editor's text and caret, whose result it puts back in
// the editor with the caret in its place, and an executed file's bytes) and
// tells after each run what changed: the result, the log's statements and the
// memory.
#pragma once

#include "core/files/CCalcRunReport.h"

#include <QObject>

#include <string>
#include <string_view>
#include <vector>

class CCalcCalculation;
class CCalcView;

class CCalcRunner final : public QObject {
    Q_OBJECT

public:
    explicit CCalcRunner(CCalcView* editor, QObject* parent = nullptr);

    // Calculates the editor's text: the statement at the start of the
    // selection, or every statement (all). Nothing happens while a run is on.
    void calculate(bool all);
    // Runs the statements of a file's bytes against the memory; the editor
    // is untouched. Nothing happens while a run is on.
    void execute(std::string bytes);

    bool isRunning() const;
    CCalcCalculation* calculation() const { return calculation_; }

    // Takes the memory's Changed flag and, when it was set, emits
    // memoryChanged(). Called after every run; whoever frees or loads memory
    // itself calls it afterwards.
    void noticeMemoryChange();

    // Where a caret at position caret in before belongs in after, the text
    // with a run's results: unchanged text on either side keeps its caret;
    // inside the changed stretch the caret keeps to its statement, and goes
    // behind that statement's new text when it stood in what changed there
    // (CCalcTextChange::mapByStatement). Places the caret after a calculate
    // all that failed.
    static int CaretAcrossChange(std::u16string_view before, std::u16string_view after, int caret);

signals:
    // The editor's text is about to be calculated: the process-wide state
    // is still as the last run left it (the results margin takes its
    // sandbox from it, so that what it shows is what this run writes).
    void calculationStarting();
    // A run started or ended (its result applied); the editor takes no edits
    // meanwhile.
    void runningChanged(bool running);
    // The last result may have changed (a calculation or a file ran).
    void resultChanged();
    // A run cleared the log and filled it again: the statement of each of
    // its records in the editor's text, in the order of the log's rows, once
    // the text is back in the editor. An executed file names no statement of
    // the editor, so its list is empty.
    void runReported(const std::vector<CCalcReportedStatement>& statements);
    // Memory cells were read, stored or freed since the last notice.
    void memoryChanged();

private:
    CCalcView* editor_;
    CCalcCalculation* calculation_;
};
