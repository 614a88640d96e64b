// The editing commands of the menu and the toolbar carried out on the
// editor: Undo, Cut, Copy and Paste, with their enabled states following the
// editor's undo history and selection.
#pragma once

#include <QObject>

class CCalcView;
class ICalcCommandBinder;

class CCalcEditorCommands final : public QObject {
    Q_OBJECT

public:
    // Lives as long as view.
    explicit CCalcEditorCommands(CCalcView* view);

    void bindCommands(ICalcCommandBinder& commands);

private:
    CCalcView* view_;
};
