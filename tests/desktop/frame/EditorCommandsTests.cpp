// The editing commands bound to the editor: Undo follows the history, Cut
// and Copy the selection, and each change of those asks for a refresh.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include <gtest/gtest.h>

#include <map>

#include "desktop/frame/CCalcEditorCommands.h"
#include "desktop/services/CalcCommandBinder.h"
#include "desktop/services/CalcCommands.h"
#include "desktop/ui/editor/CCalcView.h"

namespace {

class Commands final : public ICalcCommandBinder {
public:
    void bindCommand(int id, Handler handler, State enabled, State checked) override
    {
        bound[id] = {std::move(handler), std::move(enabled), std::move(checked)};
    }
    void refreshCommandStates() override { ++refreshes; }

    bool enabled(int id) const { return !bound.at(id).Enabled || bound.at(id).Enabled(); }
    void run(int id) const { bound.at(id).Run(); }

    struct Binding {
        Handler Run;
        State Enabled;
        State Checked;
    };
    std::map<int, Binding> bound;
    int refreshes = 0;
};

TEST(EditorCommands, BindTheEditingCommandsToTheEditor)
{
    using namespace CalcCommand;
    CCalcView view;
    auto* editorCommands = new CCalcEditorCommands(&view);
    Commands commands;
    editorCommands->bindCommands(commands);
    EXPECT_EQ(commands.bound.size(), 4u);

    EXPECT_FALSE(commands.enabled(EditUndo));
    EXPECT_FALSE(commands.enabled(EditCut));
    EXPECT_FALSE(commands.enabled(EditCopy));
    EXPECT_TRUE(commands.enabled(EditPaste));

    view.replaceSelection(QStringLiteral("12+3"));
    EXPECT_TRUE(commands.enabled(EditUndo));
    const int afterEdit = commands.refreshes;
    EXPECT_GE(afterEdit, 1);
    view.setSelection(0, 2);
    EXPECT_TRUE(commands.enabled(EditCut));
    EXPECT_TRUE(commands.enabled(EditCopy));
    EXPECT_GT(commands.refreshes, afterEdit);

    commands.run(EditCopy);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("12"));
    commands.run(EditCut);
    EXPECT_EQ(view.text(), QStringLiteral("+3"));
    view.setSelection(2, 2);
    commands.run(EditPaste);
    EXPECT_EQ(view.text(), QStringLiteral("+312"));
    commands.run(EditUndo);
    EXPECT_EQ(view.text(), QStringLiteral("+3"));
}

}  // namespace
