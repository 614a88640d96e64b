// The editor as a user and assistive technology drive it: caret moves and
// edits by key, positions in UTF-16 code units, the mouse, input methods,
// dropped text and the accessible text.
#include <QAccessible>
#include <QAccessibleEditableTextInterface>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

#include "desktop/services/PreferencesStore.h"
#include "desktop/ui/editor/CCalcView.h"

namespace {

class EditorInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings(Tevra::SettingsOrganization, Tevra::SettingsApplication).remove(QStringLiteral("GUI/Editor"));
        view.resize(400, 300);
        view.show();
    }

    void mouse(QEvent::Type type, QPoint point, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QMouseEvent event(type, point, view.viewport()->mapToGlobal(point),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, modifiers);
        QApplication::sendEvent(view.viewport(), &event);
    }
    // Just inside the left edge of the character at position.
    QPoint at(int position) const { return view.characterRect(position).topLeft() + QPoint(1, 2); }

    CCalcView view;
};

struct Key {
    int Code;
    Qt::KeyboardModifiers Modifiers = Qt::NoModifier;
};

TEST_F(EditorInput, KeysMoveAndEditByWholeCharacters)
{
    struct Row {
        const char* name;
        QString text;
        int anchor;
        int caret;
        std::vector<Key> keys;
        QString expected;
        int expectedAnchor;
        int expectedCaret;
    };
    const QString pair = QString::fromUtf16(u"a\U0001F600b");  // the pair is at 1 and 2
    const QString accent = QString::fromUtf16(u"e\u0301x");
    const Row rows[] = {
        {"Right steps over a surrogate pair", pair, 1, 1, {{Qt::Key_Right}}, pair, 3, 3},
        {"Left steps over a surrogate pair", pair, 3, 3, {{Qt::Key_Left}}, pair, 1, 1},
        {"Right steps over a letter and its accent", accent, 0, 0, {{Qt::Key_Right}}, accent, 2, 2},
        {"Backspace deletes a surrogate pair whole", pair, 3, 3, {{Qt::Key_Backspace}}, "ab", 1, 1},
        {"Backspace deletes an accent alone", accent, 2, 2, {{Qt::Key_Backspace}}, "ex", 1, 1},
        {"Delete deletes a letter with its accent", accent, 0, 0, {{Qt::Key_Delete}}, "x", 0, 0},
        {"Backspace at the start deletes nothing", "ab", 0, 0, {{Qt::Key_Backspace}}, "ab", 0, 0},
        {"Delete at the end deletes nothing", "ab", 2, 2, {{Qt::Key_Delete}}, "ab", 2, 2},
        {"Shift+Right selects", "abc", 0, 0, {{Qt::Key_Right, Qt::ShiftModifier}}, "abc", 0, 1},
        {"Right ends a selection at its end", "abc", 2, 0, {{Qt::Key_Right}}, "abc", 2, 2},
        {"Left ends a selection at its start", "abc", 0, 2, {{Qt::Key_Left}}, "abc", 0, 0},
        {"Ctrl+Right goes behind a word", "sin(30)+1", 0, 0, {{Qt::Key_Right, Qt::ControlModifier}}, "sin(30)+1", 3, 3},
        {"Ctrl+Backspace deletes a word", "abc def", 7, 7, {{Qt::Key_Backspace, Qt::ControlModifier}}, "abc ", 4, 4},
        {"Home and End keep to the line", "abc\ndef", 5, 5, {{Qt::Key_Home}}, "abc\ndef", 4, 4},
        {"End goes before the line break", "abc\ndef", 1, 1, {{Qt::Key_End}}, "abc\ndef", 3, 3},
        {"Ctrl+End goes to the end of the text",
         "abc\ndef",
         1,
         1,
         {{Qt::Key_End, Qt::ControlModifier}},
         "abc\ndef",
         7,
         7},
        {"Down and Down keep the column over a short line",
         "abcdef\nab\nabcdef",
         5,
         5,
         {{Qt::Key_Down}, {Qt::Key_Down}},
         "abcdef\nab\nabcdef",
         15,
         15},
        {"Up on the first line stays", "abc\ndef", 2, 2, {{Qt::Key_Up}}, "abc\ndef", 2, 2},
        {"typing replaces the selection", "abc", 0, 3, {{Qt::Key_X}}, "x", 1, 1},
        {"Tab types a tab", "ab", 1, 1, {{Qt::Key_Tab}}, "a\tb", 2, 2},
        {"Ctrl+A selects everything", "abc", 1, 1, {{Qt::Key_A, Qt::ControlModifier}}, "abc", 0, 3},
        {"Ctrl with a letter types nothing", "abc", 1, 1, {{Qt::Key_Q, Qt::ControlModifier}}, "abc", 1, 1},
    };
    for (const Row& row : rows) {
        view.loadText(row.text);
        view.setSelection(row.anchor, row.caret);
        for (const Key& key : row.keys)
            QTest::keyClick(&view, static_cast<Qt::Key>(key.Code), key.Modifiers);
        EXPECT_EQ(view.text(), row.expected) << row.name;
        EXPECT_EQ(view.anchor(), row.expectedAnchor) << row.name;
        EXPECT_EQ(view.position(), row.expectedCaret) << row.name;
    }
}

TEST_F(EditorInput, KeysTypeEveryCharacterButControls)
{
    const struct {
        QString typed;
        bool inserted;
    } rows[] = {
        {QString::fromUtf16(u"\U0001F600"), true},
        {QString::fromUtf16(u"\u200D"), true},  // a joiner
        {QString::fromUtf16(u"\u00E9\u0301"), true},
        {QStringLiteral("\x01"), false},
        {QStringLiteral("\x1b"), false},
    };
    for (const auto& row : rows) {
        view.loadText(QString());
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, row.typed);
        QApplication::sendEvent(&view, &press);
        EXPECT_EQ(view.text(), row.inserted ? row.typed : QString()) << row.typed.toStdString();
    }
}

TEST_F(EditorInput, TypedWordsUndoAsOneStep)
{
    view.loadText(QStringLiteral("1+"));
    view.setSelection(2, 2);
    QTest::keyClicks(&view, QStringLiteral("sin(30)"));
    QTest::keyClick(&view, Qt::Key_Left);
    QTest::keyClicks(&view, QStringLiteral("0"));
    EXPECT_EQ(view.text(), QStringLiteral("1+sin(300)"));
    QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(view.text(), QStringLiteral("1+sin(30)"));
    QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(view.text(), QStringLiteral("1+"));
    EXPECT_EQ(view.position(), 2);
    EXPECT_FALSE(view.document()->isModified());
    QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(view.text(), QStringLiteral("1+sin(30)"));
}

TEST_F(EditorInput, TheEditorKeepsItsKeysFromTheProgramsShortcuts)
{
    struct Row {
        int key;
        Qt::KeyboardModifiers modifiers;
        bool kept;
    };
    const Row rows[] = {
        {Qt::Key_Z, Qt::ControlModifier, true},
        {Qt::Key_Backspace, Qt::AltModifier, true},
        {Qt::Key_Insert, Qt::ShiftModifier, true},
        {Qt::Key_Right, Qt::NoModifier, true},
        {Qt::Key_5, Qt::NoModifier, true},
        {Qt::Key_Equal, Qt::ControlModifier, false},
        {Qt::Key_Equal, Qt::ControlModifier | Qt::ShiftModifier, false},
        {Qt::Key_Plus, Qt::ControlModifier, false},
        {Qt::Key_S, Qt::ControlModifier, false},
        {Qt::Key_L, Qt::ControlModifier, false},
    };
    for (const Row& row : rows) {
        QKeyEvent event(QEvent::ShortcutOverride, row.key, row.modifiers,
                        row.key == Qt::Key_5 ? QStringLiteral("5") : QString());
        event.ignore();
        QApplication::sendEvent(&view, &event);
        EXPECT_EQ(event.isAccepted(), row.kept) << QKeySequence(row.key | row.modifiers).toString().toStdString();
    }
}

TEST_F(EditorInput, PositionsCountCodeUnitsOfTheTextWithNewlines)
{
    view.loadText(QString::fromUtf16(u"\U0001D465=1\r\n\U0001D466=2"));
    EXPECT_EQ(view.text(), QString::fromUtf16(u"\U0001D465=1\n\U0001D466=2"));
    view.setSelection(0, 0);
    QTest::keyClick(&view, Qt::Key_End);
    EXPECT_EQ(view.selectionStart(), 4);
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Right);
    EXPECT_EQ(view.selectionStart(), 7);

    // Pasted text has its line breaks and NUL characters dealt with before
    // any position is counted.
    auto* pasted = new QMimeData;
    pasted->setText(QString::fromUtf16(u"a\r\nb\0c\rd", 8));
    QApplication::clipboard()->setMimeData(pasted);
    view.setSelection(0, 0);
    view.paste();
    EXPECT_EQ(view.text(), QString::fromUtf16(u"a\nbc\nd\U0001D465=1\n\U0001D466=2"));
    EXPECT_EQ(view.position(), 6);
}

TEST_F(EditorInput, TheMouseSetsTheCaretAndSelects)
{
    view.loadText(QStringLiteral("sin(30) + cos(60)\nsecond line"));
    mouse(QEvent::MouseButtonPress, at(19), Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, at(19), Qt::NoButton);
    EXPECT_EQ(view.position(), 19);
    EXPECT_FALSE(view.hasSelection());

    mouse(QEvent::MouseButtonPress, at(10), Qt::LeftButton);
    mouse(QEvent::MouseMove, at(13), Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, at(13), Qt::NoButton);
    EXPECT_EQ(view.selectedText().size(), 3);
    EXPECT_EQ(view.anchor(), 10);

    mouse(QEvent::MouseButtonPress, at(3), Qt::LeftButton, Qt::ShiftModifier);
    mouse(QEvent::MouseButtonRelease, at(3), Qt::NoButton, Qt::ShiftModifier);
    EXPECT_EQ(view.anchor(), 10);
    EXPECT_EQ(view.position(), 3);

    QTest::mouseDClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, at(1));
    EXPECT_EQ(view.selectedText(), QStringLiteral("sin"));

    // A click below the last line puts the caret on it.
    mouse(QEvent::MouseButtonPress, QPoint(view.viewport()->width() - 2, view.viewport()->height() - 2),
          Qt::LeftButton);
    EXPECT_EQ(view.position(), view.text().size());
}

TEST_F(EditorInput, InputMethodsComposeAtTheCaret)
{
    view.loadText(QStringLiteral("ab"));
    view.setSelection(1, 1);
    QInputMethodEvent composing(QStringLiteral("ka"), {});
    QApplication::sendEvent(&view, &composing);
    EXPECT_EQ(view.text(), QStringLiteral("ab"));  // composing text is shown, not yet typed
    EXPECT_EQ(view.inputMethodQuery(Qt::ImSurroundingText).toString(), QStringLiteral("ab"));
    EXPECT_EQ(view.inputMethodQuery(Qt::ImCursorPosition).toInt(), 1);

    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf16(u"\u304b"));
    QApplication::sendEvent(&view, &commit);
    EXPECT_EQ(view.text(), QString::fromUtf16(u"a\u304bb"));
    EXPECT_EQ(view.position(), 2);

    QInputMethodEvent replacing;
    replacing.setCommitString(QStringLiteral("X"), -2, 1);
    QApplication::sendEvent(&view, &replacing);
    EXPECT_EQ(view.text(), QString::fromUtf16(u"X\u304bb"));
}

TEST_F(EditorInput, DroppedTextIsInsertedWhereItFalls)
{
    view.loadText(QStringLiteral("1+2"));
    QMimeData data;
    data.setText(QStringLiteral("(4)\r\n"));
    const QPoint point = view.characterRect(2).topLeft() + QPoint(1, 2);
    QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(point), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &drop);
    EXPECT_EQ(view.text(), QStringLiteral("1+(4)\n2"));
    EXPECT_EQ(view.selectedText(), QStringLiteral("(4)\n"));
    view.undo();
    EXPECT_EQ(view.text(), QStringLiteral("1+2"));
}

TEST_F(EditorInput, MovedTextIsOneUndoableEdit)
{
    struct Row {
        const char* name;
        CTextRange moved;
        int to;
        const char* expected;
        int redoCaret;  // behind the farther of the two places
    };
    const Row rows[] = {
        {"forward", {0, 2}, 6, "def21c", 6},
        {"backward", {4, 6}, 1, "1f2cde", 6},
        {"to the very start", {3, 5}, 0, "ef1cd2", 5},
        {"to the very end", {1, 3}, 6, "1ef2cd", 6},
    };
    for (const Row& row : rows) {
        view.loadText(QStringLiteral("1cdef2"));
        view.setSelection(row.moved.Start, row.moved.End);
        const QString moved = view.selectedText();
        view.moveText(row.moved, row.to);
        const QString expected = QString::fromLatin1(row.expected);
        EXPECT_EQ(view.text(), expected) << row.name;
        EXPECT_EQ(view.selectedText(), moved) << row.name;
        EXPECT_TRUE(view.document()->isUndoAvailable()) << row.name;
        view.undo();
        EXPECT_EQ(view.text(), QStringLiteral("1cdef2")) << row.name;
        EXPECT_EQ(view.selection(), row.moved) << row.name;
        EXPECT_FALSE(view.document()->isUndoAvailable()) << row.name;
        view.redo();
        EXPECT_EQ(view.text(), expected) << row.name;
        EXPECT_EQ(view.position(), row.redoCaret) << row.name;
        EXPECT_FALSE(view.hasSelection()) << row.name;
    }
}

TEST_F(EditorInput, TextMovedOntoItselfStaysAndIsSelected)
{
    view.loadText(QStringLiteral("12345"));
    for (int to : {1, 2, 3}) {
        view.setSelection(0, 0);
        view.moveText({1, 3}, to);
        EXPECT_EQ(view.text(), QStringLiteral("12345")) << to;
        EXPECT_EQ(view.selection(), (CTextRange{1, 3})) << to;
    }
    EXPECT_FALSE(view.document()->isUndoAvailable());
}

TEST_F(EditorInput, TypingAfterAMoveIsAStepOfItsOwn)
{
    view.loadText(QStringLiteral("ab;cd"));
    view.moveText({0, 2}, 5);
    EXPECT_EQ(view.text(), QStringLiteral(";cdab"));
    view.setSelection(5, 5);
    QTest::keyClicks(&view, QStringLiteral("xy"));
    view.undo();
    EXPECT_EQ(view.text(), QStringLiteral(";cdab"));
    view.undo();
    EXPECT_EQ(view.text(), QStringLiteral("ab;cd"));
}

TEST_F(EditorInput, AssistiveTechnologyReadsAndEditsTheText)
{
    view.loadText(QStringLiteral("2+3\n4*5"));
    view.setSelection(1, 3);
    QAccessibleInterface* editor = QAccessible::queryAccessibleInterface(&view);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->role(), QAccessible::EditableText);
    EXPECT_TRUE(editor->state().multiLine);
    EXPECT_EQ(editor->text(QAccessible::Value), view.text());
    QAccessibleTextInterface* text = editor->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->characterCount(), 7);
    EXPECT_EQ(text->text(4, 7), QStringLiteral("4*5"));
    EXPECT_EQ(text->cursorPosition(), 3);
    int start = 0;
    int end = 0;
    text->selection(0, &start, &end);
    EXPECT_EQ(start, 1);
    EXPECT_EQ(end, 3);
    // A point anywhere on a character names that character.
    for (const int offset : {0, 2, 5}) {
        const QRect rect = text->characterRect(offset);
        EXPECT_EQ(text->offsetAtPoint(rect.center()), offset) << offset;
        EXPECT_EQ(text->offsetAtPoint(QPoint(rect.right() - 1, rect.center().y())), offset) << offset;
    }

    QAccessibleEditableTextInterface* editable = editor->editableTextInterface();
    ASSERT_NE(editable, nullptr);
    editable->replaceText(4, 5, QStringLiteral("6"));
    EXPECT_EQ(view.text(), QStringLiteral("2+3\n6*5"));
    view.undo();
    EXPECT_EQ(view.text(), QStringLiteral("2+3\n4*5"));
}

}  // namespace
