#include "desktop/frame/CCalcEditorCommands.h"

#include "desktop/services/CalcCommandBinder.h"
#include "desktop/services/CalcCommands.h"
#include "desktop/ui/editor/CCalcView.h"

CCalcEditorCommands::CCalcEditorCommands(CCalcView* view) : QObject(view), view_(view) {}

void CCalcEditorCommands::bindCommands(ICalcCommandBinder& commands)
{
    using namespace CalcCommand;
    CCalcView* view = view_;
    const auto selection = [view] { return view->hasSelection(); };
    commands.bindCommand(
        EditUndo, [view] { view->undo(); }, [view] { return view->document()->isUndoAvailable(); });
    commands.bindCommand(
        EditCut, [view] { view->cut(); }, selection);
    commands.bindCommand(
        EditCopy, [view] { view->copy(); }, selection);
    commands.bindCommand(EditPaste, [view] { view->paste(); });
    const auto refresh = [&commands] { commands.refreshCommandStates(); };
    connect(view, &CCalcView::undoAvailable, this, refresh);
    connect(view, &CCalcView::copyAvailable, this, refresh);
}
