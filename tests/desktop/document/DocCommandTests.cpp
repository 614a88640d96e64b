// The document's commands: the receiver codes the keypad sends, text
// insertion, Execute file and the three memory commands.
#include "support/FrameSupport.h"

#include "core/files/CCalcFileText.h"
#include "core/settings/CalcSettings.h"
#include "desktop/document/CCalcDoc.h"
#include "desktop/document/CCalcRunner.h"
#include "core/memory/MemoryMap.h"
#include "desktop/ui/editor/CCalcView.h"
#include "desktop/ui/log/CCalcLog.h"
#include "desktop/frame/CCalcStatusBar.h"
#include "core/engine/EngineState.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <functional>
#include <sys/stat.h>

namespace {

QByteArray Utf16WithMark(const char* text)
{
    QByteArray bytes("\xFF\xFE", 2);
    for (const char* c = text; *c; ++c) {
        bytes.append(*c);
        bytes.append('\0');
    }
    return bytes;
}

class DocumentCommands : public FrameTest {
protected:
    CCalcDoc& document() { return *frame->document(); }
    CCalcView& view() { return *frame->view(); }

    void select(int start, int end) { view().setSelection(start, end); }

    QString file(const char* name, const QByteArray& bytes)
    {
        const QString path = directory.filePath(QLatin1String(name));
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return path;
    }

    QTemporaryDir directory;
};

TEST_F(DocumentCommands, ClearEmptiesTheTextUndoably)
{
    view().loadText(QStringLiteral("1+2;3"));
    document().Command(CmdClear);
    EXPECT_EQ(view().text(), QString());
    view().undo();
    EXPECT_EQ(view().text(), QStringLiteral("1+2;3"));
    view().loadText(QString());
    document().Command(CmdClear);
    EXPECT_EQ(view().text(), QString());
}

TEST_F(DocumentCommands, BackspaceDeletesTheSelectionOrOneCharacter)
{
    struct Row {
        const char* name;
        QString text;
        int start, end;
        QString expected;
    };
    const Row rows[] = {
        {"caret at 0 deletes nothing", "abc", 0, 0, "abc"},
        {"caret deletes one before it", "abc", 2, 2, "ac"},
        {"a selection only", "abcd", 1, 3, "ad"},
        {"a surrogate pair as a whole", QStringLiteral("a") + QString::fromUtf16(u"\U0001F600") + "b", 3, 3, "ab"},
    };
    for (const Row& row : rows) {
        view().loadText(row.text);
        select(row.start, row.end);
        document().Command(CmdBackspace);
        EXPECT_EQ(view().text(), row.expected) << row.name;
    }
}

TEST_F(DocumentCommands, UnknownCodesDoNothing)
{
    view().loadText(QStringLiteral("1+1"));
    document().Command(5);
    document().Command(0xFFFFFFFFu);
    EXPECT_EQ(view().text(), QStringLiteral("1+1"));
}

TEST_F(DocumentCommands, InsertTextReplacesTheSelectionWithoutCalculating)
{
    view().loadText(QStringLiteral("1+x"));
    select(2, 3);
    document().InsertText(u"sin(");
    EXPECT_EQ(view().text(), QStringLiteral("1+sin("));
    view().undo();
    EXPECT_EQ(view().text(), QStringLiteral("1+x"));
}

TEST_F(DocumentCommands, CalculateUsesTheStartOfTheSelection)
{
    view().loadText(QStringLiteral("1+1; 2+2; 3+3"));
    select(5, 13);
    document().Command(CmdCalculate);
    ASSERT_TRUE(CalculationApplied(*frame));
    EXPECT_EQ(view().text(), QStringLiteral("1+1; 2+2=4; 3+3"));
    EXPECT_FALSE(view().hasSelection());
    EXPECT_EQ(frame->calcStatusBar()->paneText(CCalcStatusBar::ResultPane), QStringLiteral("Rslt=4"));
}

TEST_F(DocumentCommands, FailedCalculateAllKeepsTheCaretInItsPlace)
{
    struct Row {
        const char* name;
        QString text;
        int caret;
        QString expected;
        int expectedCaret;
    };
    const Row rows[] = {
        {"behind a result written before it", "1+1; 1/0; 3+3", 12, "1+1=2; 1/0; 3+3", 14},
        {"at the end of the text", "1+1;\n2+2;\n1/0;\n4+4", 18, "1+1=2;\n2+2=4;\n1/0;\n4+4", 22},
        {"at the start of the text", "1+1; 1/0", 0, "1+1=2; 1/0", 0},
        {"behind the failing statement, whose old result is gone", "1+1; 1/0 = 7; 2", 12, "1+1=2; 1/0  ; 2", 12},
        {"nothing ran: an open comment", "1+1 /* open", 5, "1+1 /* open", 5},
    };
    for (const Row& row : rows) {
        view().loadText(row.text);
        select(row.caret, row.caret);
        document().Command(CmdCalculateAll);
        ASSERT_TRUE(CalculationApplied(*frame));
        EXPECT_EQ(view().text(), row.expected) << row.name;
        EXPECT_EQ(view().position(), row.expectedCaret) << row.name;
    }
}

TEST(CaretAcrossChange, FollowsTheUnchangedTextOnEitherSide)
{
    struct Row {
        const char16_t* before;
        const char16_t* after;
        int caret;
        int expected;
    };
    const Row rows[] = {
        {u"abcdef", u"abXYcdef", 1, 1},   // in the head
        {u"abcdef", u"abXYcdef", 2, 2},   // where the insertion starts
        {u"abcdef", u"abXYcdef", 4, 6},   // in the tail
        {u"abcdef", u"abXYcdef", 6, 8},   // at the end
        {u"ab=12cd", u"abcd", 4, 2},      // inside a removed stretch
        {u"ab=12cd", u"ab=345cd", 4, 6},  // inside a replaced stretch: behind the new text
        {u"abc", u"abc", 2, 2},           // nothing changed
        {u"", u"xyz", 0, 0},
        {u"abc", u"", 3, 0},
        {u"abc", u"abcd", -5, 0},  // out of range on either side
        {u"abc", u"abcd", 99, 3},
        // Among several results: the same place of the same statement.
        {u"1+1; 2+2; 1/0", u"1+1=2; 2+2=4; 1/0", 6, 8},
        {u"1+1; 2+2=7; 3", u"1+1=2; 2+2=4; 3=3", 9, 11},
        {u"1+1; 2+2=7; 3", u"1+1=2; 2+2=4; 3=3", 13, 17},
    };
    for (const Row& row : rows)
        EXPECT_EQ(CCalcRunner::CaretAcrossChange(row.before, row.after, row.caret), row.expected)
            << QString::fromStdU16String(row.before).toStdString() << " -> "
            << QString::fromStdU16String(row.after).toStdString() << " at " << row.caret;
}

TEST_F(DocumentCommands, FreeAsksOnlyWhenConfirmationIsWanted)
{
    for (const std::uint32_t confirmation : {0u, 1u, 2u}) {
        NCalculatorText::State().MemoryMap.GetOrCreate(u"a") = 1;
        NCalculatorText::State().CalcSettings.FreeConfirmation = confirmation;
        prompts.questions.clear();
        prompts.confirmAnswer = false;
        document().Command(CmdFreeMemory);
        if (confirmation == 0) {
            EXPECT_TRUE(prompts.questions.isEmpty());
            EXPECT_EQ(NCalculatorText::State().MemoryMap.Count(), 0u);
            continue;
        }
        EXPECT_EQ(prompts.questions,
                  QStringList{QStringLiteral("You are about to erase all the memory.\nAre you sure?")});
        EXPECT_EQ(NCalculatorText::State().MemoryMap.Count(), 1u) << "No keeps the memory";
        prompts.confirmAnswer = true;
        document().Command(CmdFreeMemory);
        EXPECT_EQ(NCalculatorText::State().MemoryMap.Count(), 0u);
    }
}

TEST_F(DocumentCommands, ExecuteRunsAFileWithoutTouchingTheEditor)
{
    view().loadText(QStringLiteral("my text"));
    prompts.openAnswers.push_back(file("cells.vcm", Utf16WithMark("2->Mem[a];\r\n40+2->Mem[b];\r\n")));
    document().executeFile();
    EXPECT_EQ(view().text(), QStringLiteral("my text"));
    ASSERT_NE(NCalculatorText::State().MemoryMap.Find(u"b"), nullptr);
    EXPECT_EQ(NCalculatorText::State().MemoryMap.Find(u"b")->Value, 42.0);
    EXPECT_EQ(frame->calcStatusBar()->paneText(CCalcStatusBar::ResultPane), QStringLiteral("Rslt=42"));
    const CalcFileDialogRequest& request = prompts.openRequests.front();
    EXPECT_EQ(request.DefaultSuffix, QStringLiteral("vcl"));
    EXPECT_TRUE(request.InitialName.isEmpty());
}

// A partly bad file loads the cells of its good lines, through Load memory and
// Execute alike, and the log lists every report of the file, numbered.
TEST_F(DocumentCommands, LoadAndExecuteGoOnAfterBadLines)
{
    struct Row {
        const char* Where;
        const char* Text;
    };
    const Row rows[] = {
        {"first", "ln(0)->Mem[z];\r\n1->Mem[a];\r\n3->Mem[c];\r\n"},
        {"middle", "1->Mem[a];\r\n2*->Mem[z];\r\n3->Mem[c];\r\n"},
        {"last", "1->Mem[a];\r\n3->Mem[c];\r\n1/0->Mem[z];\r\n"},
    };
    for (const bool load : {true, false}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.Where) + (load ? " load" : " execute"));
            NCalculatorText::State().MemoryMap.FreeAll();
            view().loadText(QStringLiteral("my text"));
            prompts.openAnswers.push_back(file("cells.vcm", Utf16WithMark(row.Text)));
            if (load)
                document().loadMemory();
            else
                document().executeFile();
            EXPECT_EQ(view().text(), QStringLiteral("my text"));
            ASSERT_NE(NCalculatorText::State().MemoryMap.Find(u"a"), nullptr);
            ASSERT_NE(NCalculatorText::State().MemoryMap.Find(u"c"), nullptr);
            EXPECT_EQ(NCalculatorText::State().MemoryMap.Find(u"c")->Value, 3.0);
            EXPECT_EQ(NCalculatorText::State().MemoryMap.Find(u"z"), nullptr);
            ASSERT_EQ(LogPanel(*frame)->rowCount(), 1);
            EXPECT_EQ(LogPanel(*frame)->list()->topLevelItem(0)->text(0), QStringLiteral("1"));
            EXPECT_TRUE(prompts.warnings.isEmpty());
        }
    }
    // Two bad lines: two rows, numbered 1 and 2.
    prompts.openAnswers.push_back(file("two.vcm", Utf16WithMark("ln(0);\r\n5->Mem[e];\r\n1/0;\r\n")));
    document().loadMemory();
    ASSERT_EQ(LogPanel(*frame)->rowCount(), 2);
    EXPECT_EQ(LogPanel(*frame)->list()->topLevelItem(1)->text(0), QStringLiteral("2"));
    EXPECT_EQ(LogPanel(*frame)->list()->topLevelItem(1)->text(2), QStringLiteral("Division"));
    EXPECT_EQ(NCalculatorText::State().MemoryMap.Find(u"e")->Value, 5.0);
}

TEST_F(DocumentCommands, ExecuteAndLoadReportUnreadableFiles)
{
    prompts.openAnswers = {directory.filePath("missing.vcl"), file("empty.vcl", QByteArray()),
                           directory.filePath("missing.vcm"), file("empty.vcm", QByteArray())};
    document().executeFile();
    document().executeFile();
    document().loadMemory();
    document().loadMemory();
    EXPECT_EQ(prompts.warnings,
              (QStringList{"Cannot open the file for reading", "Cannot read the file",
                           "Cannot open the file for reading", "Cannot read the file"}));
}

// A pipe without a writer would keep the window waiting for ever, a device
// might never end, and a directory is no document: each is refused without
// being read, by Open, Execute and Memory Load alike.
TEST_F(DocumentCommands, WhatIsNotARegularFileIsRefused)
{
    const QString fifo = directory.filePath("pipe.vcl");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const struct {
        const char* Kind;
        QString Path;
    } rows[] = {
        {"pipe", fifo},
        {"device", QStringLiteral("/dev/zero")},
        {"directory", directory.path()},
    };
    const std::vector<std::pair<const char*, std::function<void(const QString&)>>> commands = {
        {"open", [this](const QString& path) { EXPECT_FALSE(document().openDocument(path)); }},
        {"execute",
         [this](const QString& path) {
             prompts.openAnswers.push_back(path);
             document().executeFile();
         }},
        {"load",
         [this](const QString& path) {
             prompts.openAnswers.push_back(path);
             document().loadMemory();
         }},
    };
    for (const auto& row : rows) {
        for (const auto& [name, command] : commands) {
            SCOPED_TRACE(std::string(row.Kind) + " " + name);
            prompts.warnings.clear();
            command(row.Path);
            EXPECT_EQ(prompts.warnings, QStringList{"Cannot open the file for reading"});
            EXPECT_FALSE(document().isCalculating());
            EXPECT_TRUE(document().pathName().isEmpty());
        }
    }
}

TEST_F(DocumentCommands, MemorySaveAndLoadRoundTrip)
{
    NCalculatorText::State().MemoryMap.GetOrCreate(u"x") = 0.1;
    NCalculatorText::State().MemoryMap.GetOrCreate(u"2") = 2;
    const QString path = directory.filePath(QStringLiteral("Memory 1.vcm"));
    prompts.saveAnswers.push_back(path);
    document().saveMemory();
    const CalcFileDialogRequest& save = prompts.saveRequests.front();
    EXPECT_EQ(save.InitialName, QStringLiteral("Memory 1"));
    EXPECT_EQ(save.DefaultSuffix, QStringLiteral("vcm"));
    EXPECT_EQ(save.Filters, QStringList{"Calculator memory files (*.vcm)"});
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), Utf16WithMark("2->Mem[2];\r\n0.10000000000000000555->Mem[x];\r\n"));

    NCalculatorText::State().MemoryMap.FreeAll();
    NCalculatorText::State().MemoryMap.GetOrCreate(u"keep") = 9;
    prompts.openAnswers.push_back(path);
    document().loadMemory();
    EXPECT_EQ(prompts.openRequests.front().Filters,
              (QStringList{"Calculator memory files (*.vcm)", "All files (*.*)"}));
    EXPECT_EQ(NCalculatorText::State().MemoryMap.Count(), 3u) << "loading does not free the memory first";
    EXPECT_EQ(NCalculatorText::State().MemoryMap.Find(u"x")->Value, 0.1);
}

TEST_F(DocumentCommands, ExecutingAHugeFileIsRefusedWithAMessage)
{
    const QString path = file("huge.vcl", QByteArray());
    QFile huge(path);
    ASSERT_TRUE(huge.resize(Tevra::MaxExecutedFileBytes + 1));
    prompts.openAnswers.push_back(path);
    document().executeFile();
    EXPECT_EQ(prompts.warnings, QStringList{"The file is too large"});
}

TEST_F(DocumentCommands, MemorySaveIntoAMissingFolderWarns)
{
    NCalculatorText::State().MemoryMap.GetOrCreate(u"x") = 1;
    prompts.saveAnswers.push_back(directory.filePath("nowhere/m.vcm"));
    document().saveMemory();
    EXPECT_EQ(prompts.warnings, QStringList{"Cannot open the file for writing: No such file or directory"});
}

// The memory window rebuilds on the document's memoryChanged(), which follows
// the MemoryChanged flag of the engine's reads and stores and the store's
// frees, never merely the fact that something ran.
TEST_F(DocumentCommands, MemoryChangedFollowsTheMemoryFlag)
{
    struct Row {
        const char* name;
        bool cellBefore;  // a cell "a" exists when the row starts
        std::function<void()> run;
        bool announced;
    };
    const auto calculateAll = [this](const char* text) {
        return [this, text] {
            view().loadText(QString::fromLatin1(text));
            document().Command(CmdCalculateAll);
            ASSERT_TRUE(CalculationApplied(*frame));
        };
    };
    const auto executeFile = [this](const char* name, const char* text) {
        return [this, name, text] {
            prompts.openAnswers.push_back(file(name, Utf16WithMark(text)));
            document().executeFile();
        };
    };
    const auto free = [this](bool confirmed) {
        return [this, confirmed] {
            prompts.confirmAnswer = confirmed;
            document().Command(CmdFreeMemory);
        };
    };
    const Row rows[] = {
        {"a calculation without memory", false, calculateAll("1+1"), false},
        {"a store", false, calculateAll("5->Mem[a]"), true},
        {"a read of a cell", true, calculateAll("Mem[a]*2"), true},
        {"a read of a missing cell", false, calculateAll("Mem[q]+1"), false},
        {"a store behind an error", false, calculateAll("1/0; 2->Mem[a]"), false},
        {"the statement at the caret, not the store after it", false,
         [this] {
             view().loadText(QStringLiteral("1+1; 3->Mem[b]"));
             document().Command(CmdCalculate);
             ASSERT_TRUE(CalculationApplied(*frame));
         },
         false},
        {"free, confirmed", true, free(true), true},
        {"free, declined", true, free(false), false},
        {"free of an empty memory", false, free(true), true},
        {"execute a file that stores", false, executeFile("store.vcl", "7->Mem[c]"), true},
        {"execute a file without memory", false, executeFile("plain.vcl", "2*3"), false},
        {"load memory", false,
         [this] {
             prompts.openAnswers.push_back(file("cells.vcm", Utf16WithMark("1->Mem[x];\r\n")));
             document().loadMemory();
         },
         true},
    };
    for (const Row& row : rows) {
        NCalculatorText::ResetProcessState();
        if (row.cellBefore)
            NCalculatorText::State().MemoryMap.GetOrCreate(u"a") = 1;
        NCalculatorText::State().MemoryMap.Changed = false;
        QSignalSpy announced(&document(), &CCalcDoc::memoryChanged);
        row.run();
        EXPECT_EQ(announced.count(), row.announced ? 1 : 0) << row.name;
        EXPECT_FALSE(NCalculatorText::State().MemoryMap.Changed) << row.name << ": the flag is taken after the run";
    }
}

}  // namespace
