#include "desktop/document/CCalcRunner.h"

#include "core/engine/Engine.h"
#include "core/engine/EngineState.h"
#include "core/files/CCalcTextChange.h"
#include "core/files/MemoryFile.h"
#include "core/memory/MemoryMap.h"
#include "desktop/document/CCalcCalculation.h"
#include "desktop/services/QtText.h"
#include "desktop/ui/editor/CCalcView.h"

#include <memory>
#include <utility>

CCalcRunner::CCalcRunner(CCalcView* editor, QObject* parent)
    : QObject(parent), editor_(editor), calculation_(new CCalcCalculation(this))
{
    connect(calculation_, &CCalcCalculation::runningChanged, this, [this](bool running) {
        editor_->setCalculating(running);
        emit runningChanged(running);
    });
}

bool CCalcRunner::isRunning() const
{
    return calculation_->isRunning();
}

int CCalcRunner::CaretAcrossChange(std::u16string_view before, std::u16string_view after, int caret)
{
    const std::size_t position = caret <= 0 ? 0 : static_cast<std::size_t>(caret);
    return static_cast<int>(CCalcTextChange::Between(before, after).mapByStatement(before, after, position));
}

void CCalcRunner::calculate(bool all)
{
    // The worker calculates a copy of the text; the editor keeps the text
    // as it was until the result is applied.
    struct Run {
        std::u16string Text;
        int Caret = -1;
        int SelectionStart = 0;
        std::u16string Before;
        std::vector<CCalcReportedStatement> Statements;
    };
    auto run = std::make_shared<Run>();
    run->Text = Tevra::ToU16String(editor_->text());
    run->SelectionStart = editor_->selectionStart();
    run->Caret = all ? -1 : run->SelectionStart;
    // A calculate all that fails leaves no caret of its own; the old text is
    // kept to carry the user's caret over the results written before it, and
    // the statements of the records into the new text.
    run->Before = run->Text;
    if (!calculation_->isRunning())
        emit calculationStarting();
    calculation_->start(
        [run] {
            // On the worker: the records are noted with their statements,
            // which are moved into the text the run gives back.
            const CCalcRunRecorder recorder;
            NCalculatorText::ExecuteText(run->Text, run->Caret);
            run->Statements = recorder.statementsIn(run->Before, run->Text);
        },
        [this, run] {
            int caret = run->Caret;
            if (caret < 0)
                caret = CaretAcrossChange(run->Before, run->Text, run->SelectionStart);
            editor_->replaceTextAfterCalculation(Tevra::ToQString(run->Text), caret);
            emit resultChanged();
            emit runReported(run->Statements);
            noticeMemoryChange();
        });
}

void CCalcRunner::execute(std::string bytes)
{
    calculation_->start([bytes = std::move(bytes)] { Tevra::ExecuteFileBytes(bytes); },
                        [this] {
                            emit resultChanged();
                            // The log holds the file's records now: no
                            // statement of the editor is marked.
                            emit runReported({});
                            noticeMemoryChange();
                        });
}

void CCalcRunner::noticeMemoryChange()
{
    // The engine's reads and stores and the store's frees set the flag; it
    // is taken here, so each change is announced once.
    if (std::exchange(NCalculatorText::State().MemoryMap.Changed, false))
        emit memoryChanged();
}
