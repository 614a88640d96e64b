// The editor's text and its history: which edits undo together, the modified
// state across saving and undoing, and the signals the frame follows.
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "desktop/ui/editor/CCalcTextStore.h"

namespace {

using Kind = CCalcTextStore::EditKind;

struct Edit {
    int Position;
    int Length;
    const char* Text;
    Kind EditKind;
    bool CloseBefore = false;  // the caret moved away and back first
};

// Applies edits to an empty text.
void Apply(CCalcTextStore& store, std::initializer_list<Edit> edits)
{
    for (const Edit& edit : edits) {
        if (edit.CloseBefore)
            store.closeStep();
        store.replace(edit.Position, edit.Length, QString::fromUtf8(edit.Text), edit.EditKind, {}, {});
    }
}

// The texts that undo after undo shows, latest first.
QStringList Undone(CCalcTextStore& store)
{
    QStringList texts;
    while (store.undo())
        texts.append(store.text());
    return texts;
}

TEST(EditorStore, WhichEditsUndoTogether)
{
    struct Row {
        const char* name;
        std::initializer_list<Edit> edits;
        QStringList undone;
    };
    const Row rows[] = {
        {"typing joins one step",
         {{0, 0, "a", Kind::Typing}, {1, 0, "b", Kind::Typing}, {2, 0, "c", Kind::Typing}},
         {""}},
        {"typing elsewhere starts a step", {{0, 0, "ab", Kind::Typing}, {0, 0, "x", Kind::Typing}}, {"ab", ""}},
        {"a caret move between ends the step",
         {{0, 0, "ab", Kind::Typing}, {2, 0, "c", Kind::Typing, true}},
         {"ab", ""}},
        {"backspaces join",
         {{0, 0, "abcd", Kind::Other}, {3, 1, "", Kind::DeleteBackward}, {2, 1, "", Kind::DeleteBackward}},
         {"abcd", ""}},
        {"deletes join",
         {{0, 0, "abcd", Kind::Other}, {1, 1, "", Kind::DeleteForward}, {1, 1, "", Kind::DeleteForward}},
         {"abcd", ""}},
        {"a backspace does not join typing",
         {{0, 0, "ab", Kind::Typing}, {1, 1, "", Kind::DeleteBackward}},
         {"ab", ""}},
        {"other edits never join", {{0, 0, "a", Kind::Other}, {1, 0, "b", Kind::Other}}, {"a", ""}},
        {"typing over a selection, then on",
         {{0, 0, "12345", Kind::Other}, {1, 3, "x", Kind::Typing}, {2, 0, "y", Kind::Typing}},
         {"12345", ""}},
    };
    for (const Row& row : rows) {
        CCalcTextStore store;
        Apply(store, row.edits);
        EXPECT_EQ(Undone(store), row.undone) << row.name;
    }
}

TEST(EditorStore, RedoDoesTheStepsAgainUntilANewEdit)
{
    CCalcTextStore store;
    Apply(store, {{0, 0, "one", Kind::Other}, {3, 0, " two", Kind::Other}});
    store.undo();
    store.undo();
    EXPECT_EQ(store.text(), QString());
    ASSERT_TRUE(store.redo());
    EXPECT_EQ(store.text(), QStringLiteral("one"));
    store.replace(0, 0, QStringLiteral(">"), Kind::Other, {}, {});
    EXPECT_FALSE(store.isRedoAvailable());
    EXPECT_FALSE(store.redo());
    EXPECT_EQ(store.text(), QStringLiteral(">one"));
}

TEST(EditorStore, UndoAndRedoGiveTheSelectionsAroundTheStep)
{
    CCalcTextStore store;
    store.setText(QStringLiteral("abc"));
    store.replace(1, 1, QStringLiteral("XY"), Kind::Other, {1, 2}, {3, 3});
    EXPECT_EQ(store.text(), QStringLiteral("aXYc"));
    EXPECT_EQ(store.undo(), (CCalcTextStore::Selection{1, 2}));
    EXPECT_EQ(store.text(), QStringLiteral("abc"));
    EXPECT_EQ(store.redo(), (CCalcTextStore::Selection{3, 3}));
    EXPECT_EQ(store.text(), QStringLiteral("aXYc"));
}

TEST(EditorStore, ModifiedFollowsTheSavedText)
{
    CCalcTextStore store;
    QSignalSpy changes(&store, &CCalcTextStore::modificationChanged);
    store.setText(QStringLiteral("1+1"));
    EXPECT_FALSE(store.isModified());
    store.replace(3, 0, QStringLiteral("="), Kind::Typing, {}, {});
    EXPECT_TRUE(store.isModified());
    store.setModified(false);  // saved
    // Typing after the save starts a step of its own, so that undo can go
    // back exactly to the saved text.
    store.replace(4, 0, QStringLiteral("2"), Kind::Typing, {}, {});
    EXPECT_TRUE(store.isModified());
    store.undo();
    EXPECT_EQ(store.text(), QStringLiteral("1+1="));
    EXPECT_FALSE(store.isModified());
    store.undo();
    EXPECT_TRUE(store.isModified());
    store.redo();
    EXPECT_FALSE(store.isModified());
    // An edit made after undoing past the save leaves no way back to it.
    store.undo();
    store.replace(0, 0, QStringLiteral("("), Kind::Other, {}, {});
    store.undo();
    EXPECT_TRUE(store.isModified());
    EXPECT_EQ(changes.count(), 7);
}

TEST(EditorStore, EmptiedHistoryKeepsTheModifiedState)
{
    CCalcTextStore store;
    store.setText(QStringLiteral("2*3"));
    store.replaceWithoutHistory(3, 0, QStringLiteral("=6"));
    EXPECT_FALSE(store.isUndoAvailable());
    store.clearHistory();
    EXPECT_FALSE(store.isModified());
    store.setModified(true);
    store.clearHistory();
    EXPECT_TRUE(store.isModified());
    EXPECT_EQ(store.text(), QStringLiteral("2*3=6"));

    store.replace(0, 0, QStringLiteral("x"), Kind::Other, {}, {});
    store.clearHistory();
    EXPECT_FALSE(store.isUndoAvailable());
    EXPECT_FALSE(store.undo());
    EXPECT_TRUE(store.isModified());
    store.setText(QString());
    EXPECT_FALSE(store.isModified());
}

TEST(EditorStore, EditsOutsideTheTextAreClamped)
{
    CCalcTextStore store;
    store.setText(QStringLiteral("abc"));
    store.replace(10, 5, QStringLiteral("d"), Kind::Other, {}, {});
    EXPECT_EQ(store.text(), QStringLiteral("abcd"));
    store.replace(-4, 2, QString(), Kind::Other, {}, {});
    EXPECT_EQ(store.text(), QStringLiteral("cd"));
    store.replace(1, -3, QString(), Kind::Other, {}, {});  // nothing to do: no step
    store.undo();
    store.undo();
    EXPECT_EQ(store.text(), QStringLiteral("abc"));
    EXPECT_FALSE(store.isUndoAvailable());
    EXPECT_EQ(store.characterAt(-1), QChar());
    EXPECT_EQ(store.characterAt(3), QChar());
    EXPECT_EQ(store.characterAt(2), u'c');
}

TEST(EditorStore, SignalsNameTheChangeAndTheAvailability)
{
    CCalcTextStore store;
    QSignalSpy contents(&store, &CCalcTextStore::contentsChange);
    QSignalSpy undo(&store, &CCalcTextStore::undoAvailable);
    QString removed;
    QObject::connect(&store, &CCalcTextStore::contentsChange, [&] { removed = store.removedText(); });
    store.setText(QStringLiteral("hello"));
    store.replace(1, 3, QStringLiteral("i"), Kind::Other, {}, {});
    EXPECT_EQ(removed, QStringLiteral("ell"));
    store.replace(2, 0, QStringLiteral("!"), Kind::Other, {}, {});
    store.undo();
    store.undo();
    ASSERT_EQ(contents.count(), 5);
    EXPECT_EQ(contents.at(1), (QList<QVariant>{1, 3, 1}));
    EXPECT_EQ(contents.at(4), (QList<QVariant>{1, 1, 3}));
    EXPECT_EQ(removed, QStringLiteral("i"));
    ASSERT_EQ(undo.count(), 2);  // became available, and not any more
    EXPECT_TRUE(undo.at(0).at(0).toBool());
    EXPECT_FALSE(undo.at(1).at(0).toBool());
}

TEST(EditorStoreGroup, EditsOfAGroupUndoAndRedoAsOneStep)
{
    CCalcTextStore store;
    store.setText(QStringLiteral("abc def"));
    store.beginEditGroup();
    store.replace(0, 4, QString(), Kind::Other, {0, 4}, {0, 0});
    store.replace(3, 0, QStringLiteral("abc "), Kind::Other, {0, 0}, {7, 7});
    store.endEditGroup();
    EXPECT_EQ(store.text(), QStringLiteral("defabc "));
    EXPECT_EQ(store.undo(), (CCalcTextStore::Selection{0, 4}));
    EXPECT_EQ(store.text(), QStringLiteral("abc def"));
    EXPECT_FALSE(store.isUndoAvailable());
    EXPECT_FALSE(store.isModified());
    EXPECT_EQ(store.redo(), (CCalcTextStore::Selection{7, 7}));
    EXPECT_EQ(store.text(), QStringLiteral("defabc "));
    EXPECT_FALSE(store.isRedoAvailable());
    EXPECT_TRUE(store.isModified());
}

TEST(EditorStoreGroup, NestedGroupsMakeOneStep)
{
    CCalcTextStore store;
    Apply(store, {{0, 0, "1", Kind::Other}});
    {
        const CCalcTextStore::EditGroup outer(store);
        store.replace(1, 0, QStringLiteral("+"), Kind::Typing, {}, {});
        {
            const CCalcTextStore::EditGroup inner(store);
            store.replace(2, 0, QStringLiteral("2"), Kind::Other, {}, {});
        }
        EXPECT_TRUE(store.isInEditGroup());
        store.replace(3, 0, QStringLiteral("="), Kind::Other, {}, {});
    }
    EXPECT_FALSE(store.isInEditGroup());
    EXPECT_EQ(Undone(store), (QStringList{QStringLiteral("1"), QString()}));
}

TEST(EditorStoreGroup, AnEmptyGroupLeavesNoStep)
{
    CCalcTextStore store;
    QSignalSpy undo(&store, &CCalcTextStore::undoAvailable);
    store.beginEditGroup();
    store.replace(0, 0, QString(), Kind::Other, {}, {});  // changes nothing
    store.endEditGroup();
    store.endEditGroup();  // one end too many does nothing
    EXPECT_FALSE(store.isUndoAvailable());
    EXPECT_EQ(undo.count(), 0);
    EXPECT_FALSE(store.isModified());
}

TEST(EditorStoreGroup, TypingJoinsNeitherIntoNorOutOfAGroup)
{
    CCalcTextStore store;
    Apply(store, {{0, 0, "a", Kind::Typing}});
    {
        const CCalcTextStore::EditGroup group(store);
        store.replace(1, 0, QStringLiteral("b"), Kind::Typing, {}, {});
        store.replace(2, 0, QStringLiteral("c"), Kind::Typing, {}, {});
    }
    Apply(store, {{3, 0, "d", Kind::Typing}});
    EXPECT_EQ(Undone(store), (QStringList{QStringLiteral("abc"), QStringLiteral("a"), QString()}));
}

TEST(EditorStoreGroup, GroupsNextToEachOtherStayApart)
{
    CCalcTextStore store;
    for (const char* text : {"x", "y"}) {
        const CCalcTextStore::EditGroup group(store);
        store.replace(store.size(), 0, QString::fromLatin1(text), Kind::Other, {}, {});
        store.replace(store.size(), 0, QStringLiteral(";"), Kind::Other, {}, {});
    }
    EXPECT_EQ(store.text(), QStringLiteral("x;y;"));
    EXPECT_EQ(Undone(store), (QStringList{QStringLiteral("x;"), QString()}));
    ASSERT_TRUE(store.redo());
    EXPECT_EQ(store.text(), QStringLiteral("x;"));
    ASSERT_TRUE(store.redo());
    EXPECT_EQ(store.text(), QStringLiteral("x;y;"));
    EXPECT_FALSE(store.redo());
}

TEST(EditorStoreGroup, TheSavedTextInsideAGroupIsNoUndoTarget)
{
    CCalcTextStore store;
    store.setText(QStringLiteral("1"));
    {
        const CCalcTextStore::EditGroup group(store);
        store.replace(1, 0, QStringLiteral("+"), Kind::Other, {}, {});
        store.setModified(false);
        store.replace(2, 0, QStringLiteral("1"), Kind::Other, {}, {});
    }
    EXPECT_TRUE(store.isModified());
    store.undo();
    EXPECT_EQ(store.text(), QStringLiteral("1"));
    EXPECT_TRUE(store.isModified());
}

// Select all, Cut and Paste of the whole text, as the editor does them.
void CutAndPaste(CCalcTextStore& store)
{
    const QString text = store.text();
    store.replace(0, store.size(), QString(), Kind::Other, {}, {});
    store.replace(0, 0, text, Kind::Other, {}, {});
}

// The history never holds more than its limit, however long the user cuts and
// pastes; the oldest steps go and the newest still undo.
TEST(EditorStoreHistory, IsBoundedByMemoryOldestStepsFirst)
{
    struct Row {
        const char* Name;
        qsizetype Characters;
        qsizetype Limit;
        int Cycles;
    };
    const Row rows[] = {
        {"small limit, small text", 1000, 20'000, 50},
        {"the default limit, 4 million characters", 4'000'000, CCalcTextStore::DefaultHistoryLimit, 12},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        CCalcTextStore store;
        store.setHistoryLimit(row.Limit);
        EXPECT_EQ(store.historyLimit(), row.Limit);
        const QString text(row.Characters, QLatin1Char('7'));
        store.setText(text);
        for (int cycle = 0; cycle < row.Cycles; ++cycle) {
            CutAndPaste(store);
            ASSERT_LE(store.historyBytes(), row.Limit);
        }
        // Each cycle holds the text twice: a limit of a few texts keeps a
        // few cycles, and the last one still undoes.
        EXPECT_GT(store.historyBytes(), row.Characters * 2);
        ASSERT_TRUE(store.undo());
        EXPECT_TRUE(store.text().isEmpty());
        ASSERT_TRUE(store.undo());
        EXPECT_EQ(store.text(), text);
        // Undoing moves steps to redo: the history holds no more than before.
        EXPECT_LE(store.historyBytes(), row.Limit);
        int steps = 2;
        while (store.undo())
            ++steps;
        EXPECT_LT(steps, 2 * row.Cycles);
        // The oldest step kept is a cut or a paste.
        EXPECT_TRUE(store.text() == text || store.text().isEmpty());
        // Past the oldest step kept, the saved text is out of reach.
        EXPECT_TRUE(store.isModified());
        // A new text frees the history.
        store.setText(QString());
        EXPECT_EQ(store.historyBytes(), 0);
    }
}

TEST(EditorStoreHistory, CountsEveryStepAndFollowsUndoRedoAndClearing)
{
    CCalcTextStore store;
    EXPECT_EQ(store.historyLimit(), CCalcTextStore::DefaultHistoryLimit);
    store.replace(0, 0, QStringLiteral("ab"), Kind::Typing, {}, {});
    const qsizetype one = store.historyBytes();
    EXPECT_GE(one, qsizetype{4});
    // Typing joins the step: two more characters, two more code units' bytes.
    store.replace(2, 0, QStringLiteral("cd"), Kind::Typing, {}, {});
    EXPECT_EQ(store.historyBytes(), one + 4);
    store.undo();
    EXPECT_EQ(store.historyBytes(), one + 4);
    // A new edit drops what undo took back.
    store.replace(0, 0, QStringLiteral("x"), Kind::Other, {}, {});
    EXPECT_FALSE(store.isRedoAvailable());
    EXPECT_EQ(store.historyBytes(), one - 2);
    store.clearHistory();
    EXPECT_EQ(store.historyBytes(), 0);
}

TEST(EditorStoreHistory, AGroupIsDroppedWholeAndALowerLimitTrimsAtOnce)
{
    CCalcTextStore store;
    QSignalSpy undoSignals(&store, &CCalcTextStore::undoAvailable);
    store.setText(QStringLiteral("0"));
    {
        const CCalcTextStore::EditGroup group(store);
        store.replace(1, 0, QStringLiteral("+1"), Kind::Other, {}, {});
        store.replace(3, 0, QStringLiteral("+2"), Kind::Other, {}, {});
    }
    store.replace(5, 0, QStringLiteral("+3"), Kind::Other, {}, {});
    const qsizetype all = store.historyBytes();
    // Room for one step of the three: the group goes as a whole.
    store.setHistoryLimit(all - 1);
    EXPECT_LE(store.historyBytes(), all - 1);
    ASSERT_TRUE(store.undo());
    EXPECT_EQ(store.text(), QStringLiteral("0+1+2"));
    EXPECT_FALSE(store.undo());
    // No room at all: nothing is kept, and undo says so.
    store.redo();
    store.setHistoryLimit(0);
    EXPECT_EQ(store.historyBytes(), 0);
    EXPECT_FALSE(store.isUndoAvailable());
    EXPECT_FALSE(store.isRedoAvailable());
    EXPECT_EQ(undoSignals.count(), 4);
    EXPECT_EQ(store.text(), QStringLiteral("0+1+2+3"));
}

}  // namespace
