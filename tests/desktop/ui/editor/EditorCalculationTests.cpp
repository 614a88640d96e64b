// A calculation's results put back into the editor: only the stretch that
// changed is replaced, the caret goes where the engine puts it, the view stays
// on the text it showed, and the calculation cannot be undone.
#include "support/FrameSupport.h"

#include "desktop/ui/CCalcCmdReceiver.h"
#include "desktop/document/CCalcDoc.h"
#include "desktop/ui/editor/CCalcEditorAids.h"
#include "desktop/ui/editor/CCalcView.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace {

class EditorCalculation : public FrameTest {
protected:
    CCalcDoc& document() { return *frame->document(); }
    CCalcView& view() { return *frame->view(); }
};

TEST_F(EditorCalculation, OnlyTheChangedStretchIsReplaced)
{
    struct Row {
        const char* name;
        QString text;
        int caret;
        QString expected;
        int expectedCaret;
        QList<QVariant> change;  // position, removed, added
    };
    const Row rows[] = {
        {"the first statement", "1+1; 2+2; 3+3", 0, "1+1=2; 2+2; 3+3", 6, {3, 0, 2}},
        {"a middle statement", "1+1; 2+2; 3+3", 6, "1+1; 2+2=4; 3+3", 11, {8, 0, 2}},
        {"the last statement", "1+1; 2+2; 3+3", 12, "1+1; 2+2; 3+3=6", 15, {13, 0, 2}},
        {"an old result", "1+1; 2*3 = 5; 4", 7, "1+1; 2*3 = 6; 4", 13, {11, 1, 1}},
        {"on a line of its own", "1+1;\n2^10 = 7 // old\n;3", 5, "1+1;\n2^10 = 1024 // old\n;3", 25, {12, 1, 4}},
    };
    for (const Row& row : rows) {
        view().loadText(row.text);
        // Something to undo, and a selection that only counts by its start.
        view().setSelection(row.text.size(), row.text.size());
        QTest::keyClick(&view(), Qt::Key_Space);
        QTest::keyClick(&view(), Qt::Key_Backspace);
        ASSERT_TRUE(view().document()->isUndoAvailable()) << row.name;
        view().setSelection(row.caret, row.caret + 2);

        QSignalSpy changes(view().document(), &CCalcTextStore::contentsChange);
        document().Command(CmdCalculate);
        ASSERT_TRUE(CalculationApplied(*frame));
        EXPECT_EQ(view().text(), row.expected) << row.name;
        EXPECT_EQ(view().position(), row.expectedCaret) << row.name;
        EXPECT_FALSE(view().hasSelection()) << row.name;
        ASSERT_EQ(changes.count(), 1) << row.name;
        EXPECT_EQ(changes.at(0), row.change) << row.name;
        EXPECT_FALSE(view().document()->isUndoAvailable()) << row.name;
        EXPECT_TRUE(view().document()->isModified()) << row.name;
        view().undo();
        EXPECT_EQ(view().text(), row.expected) << row.name << ": a calculation cannot be undone";
    }
}

TEST_F(EditorCalculation, AnUnchangedTextIsNotTouched)
{
    view().loadText(QStringLiteral("1/0"));
    QSignalSpy changes(view().document(), &CCalcTextStore::contentsChange);
    document().Command(CmdCalculateAll);
    ASSERT_TRUE(CalculationApplied(*frame));
    EXPECT_EQ(changes.count(), 0);
    EXPECT_FALSE(view().document()->isModified());
}

// A line of statements long enough to wrap into many screen lines, shown in
// a small window scrolled to its middle.
class EditorCalculationOnALongLine : public EditorCalculation {
protected:
    void SetUp() override
    {
        EditorCalculation::SetUp();
        // The keypad is put away, as in a window this small it would leave
        // the editor only a few lines.
        frame->bar(CalcBars::Keypad)->hide();
        // The results margin takes a column whose width follows its values,
        // so the lines would wrap anew once values are known: what is held
        // here is where calculating leaves the view.
        frame->editorAids()->setResultsMargin(false);
        frame->resize(640, 520);
        frame->show();
        QString text;
        for (int i = 0; i < 3000; ++i)
            text += QStringLiteral("%1*3;").arg(i);
        // The last statement fails: Calculate all then leaves the caret
        // where it was instead of behind the last result.
        text += QStringLiteral("1/0");
        view().loadText(text);
        QApplication::processEvents();
        ASSERT_GT(view().textLayout().lineCount(), 100);
        view().verticalScrollBar()->setValue(view().textLayout().lineCount() / 2);
    }

    // The number of the statement at position.
    static int StatementAt(const QString& text, int position)
    {
        return static_cast<int>(text.left(position).count(u';'));
    }
};

TEST_F(EditorCalculationOnALongLine, CalculatingAStatementOnTheScreenKeepsTheView)
{
    const CCalcTextLayout& layout = view().textLayout();
    const int first = view().firstVisibleLine();
    const int caret = layout.lineStart(first + 2) + 1;
    view().setSelection(caret, caret);
    document().Command(CmdCalculate);
    ASSERT_TRUE(CalculationApplied(*frame));
    EXPECT_EQ(view().firstVisibleLine(), first);
    EXPECT_TRUE(view().viewport()->rect().contains(view().cursorRect()));
}

TEST_F(EditorCalculationOnALongLine, CalculateAllThatSucceedsShowsTheCaretBehindTheLastResult)
{
    view().loadText(view().text().chopped(3) + QStringLiteral("2"));
    view().verticalScrollBar()->setValue(view().textLayout().lineCount() / 2);
    document().Command(CmdCalculateAll);
    ASSERT_TRUE(CalculationApplied(*frame));
    EXPECT_EQ(view().position(), view().text().size());
    EXPECT_TRUE(view().viewport()->rect().contains(view().cursorRect()));
}

TEST_F(EditorCalculationOnALongLine, CalculateAllKeepsTheTopStatementAtTheTop)
{
    const CCalcTextLayout& layout = view().textLayout();
    const QString before = view().text();
    const int top = layout.lineStart(view().firstVisibleLine());
    const int statement = StatementAt(before, top);
    const int offset = top - static_cast<int>(before.lastIndexOf(u';', top - 1)) - 1;
    view().setSelection(top + 3, top + 3);

    document().Command(CmdCalculateAll);
    ASSERT_TRUE(CalculationApplied(*frame));
    const QString after = view().text();
    ASSERT_NE(after, before);
    // The same place of the same statement is on the first line shown.
    int start = 0;
    for (int i = 0; i < statement; ++i)
        start = static_cast<int>(after.indexOf(u';', start)) + 1;
    EXPECT_EQ(layout.lineOf(start + offset), view().firstVisibleLine());
    EXPECT_TRUE(view().viewport()->rect().contains(view().cursorRect()));
    EXPECT_FALSE(view().document()->isUndoAvailable());
}

}  // namespace
