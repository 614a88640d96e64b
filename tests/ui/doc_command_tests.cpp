// The document's commands: the receiver codes the keypad sends, text
// insertion, Execute file and the three memory commands.
#include "frame_support.h"

#include "app/CalcSettings.h"
#include "document/CCalcDoc.h"
#include "memory/MemoryMap.h"
#include "ui/editor/CCalcView.h"
#include "ui/frame/CCalcStatusBar.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextCursor>

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

    void select(int start, int end)
    {
        QTextCursor cursor = view().textCursor();
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        view().setTextCursor(cursor);
    }

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
    EXPECT_EQ(view().text(), QStringLiteral("1+1; 2+2=4; 3+3"));
    EXPECT_FALSE(view().textCursor().hasSelection());
    EXPECT_EQ(frame->calcStatusBar()->paneText(CCalcStatusBar::ResultPane), QStringLiteral("Rslt=4"));
}

TEST_F(DocumentCommands, FreeAsksOnlyWhenConfirmationIsWanted)
{
    for (const std::uint32_t confirmation : {0u, 1u, 2u}) {
        Tevra::MemoryMap.GetOrCreate(u"a") = 1;
        Tevra::CalcSettings.FreeConfirmation = confirmation;
        prompts.questions.clear();
        prompts.confirmAnswer = false;
        document().Command(CmdFreeMemory);
        if (confirmation == 0) {
            EXPECT_TRUE(prompts.questions.isEmpty());
            EXPECT_EQ(Tevra::MemoryMap.Count(), 0u);
            continue;
        }
        EXPECT_EQ(prompts.questions,
                  QStringList{QStringLiteral("You are about to erase all the memory.\nAre you sure?")});
        EXPECT_EQ(Tevra::MemoryMap.Count(), 1u) << "No keeps the memory";
        prompts.confirmAnswer = true;
        document().Command(CmdFreeMemory);
        EXPECT_EQ(Tevra::MemoryMap.Count(), 0u);
    }
}

TEST_F(DocumentCommands, ExecuteRunsAFileWithoutTouchingTheEditor)
{
    view().loadText(QStringLiteral("my text"));
    prompts.openAnswers.push_back(file("cells.vcm", Utf16WithMark("2->Mem[a];\r\n40+2->Mem[b];\r\n")));
    document().executeFile();
    EXPECT_EQ(view().text(), QStringLiteral("my text"));
    ASSERT_NE(Tevra::MemoryMap.Find(u"b"), nullptr);
    EXPECT_EQ(Tevra::MemoryMap.Find(u"b")->Value, 42.0);
    EXPECT_EQ(frame->calcStatusBar()->paneText(CCalcStatusBar::ResultPane), QStringLiteral("Rslt=42"));
    const CalcFileDialogRequest& request = prompts.openRequests.front();
    EXPECT_EQ(request.DefaultSuffix, QStringLiteral("vcl"));
    EXPECT_TRUE(request.InitialName.isEmpty());
}

TEST_F(DocumentCommands, ExecuteAndLoadReportUnreadableFiles)
{
    prompts.openAnswers = {directory.filePath("missing.vcl"), file("empty.vcl", QByteArray()),
                           directory.filePath("missing.vcm"), file("empty.vcm", QByteArray())};
    document().executeFile();
    document().executeFile();
    document().loadMemory();
    document().loadMemory();
    EXPECT_EQ(prompts.warnings, (QStringList{"Cannot open the file for reading", "Cannot read the file",
                                             "Cannot open the file for reading", "Cannot read the file"}));
}

TEST_F(DocumentCommands, MemorySaveAndLoadRoundTrip)
{
    Tevra::MemoryMap.GetOrCreate(u"x") = 0.1;
    Tevra::MemoryMap.GetOrCreate(u"2") = 2;
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

    Tevra::MemoryMap.FreeAll();
    Tevra::MemoryMap.GetOrCreate(u"keep") = 9;
    prompts.openAnswers.push_back(path);
    document().loadMemory();
    EXPECT_EQ(prompts.openRequests.front().Filters,
              (QStringList{"Calculator memory files (*.vcm)", "All files (*.*)"}));
    EXPECT_EQ(Tevra::MemoryMap.Count(), 3u) << "loading does not free the memory first";
    EXPECT_EQ(Tevra::MemoryMap.Find(u"x")->Value, 0.1);
}

TEST_F(DocumentCommands, ExecutingAHugeFileIsRefusedWithAMessage)
{
    const QString path = file("huge.vcl", QByteArray());
    QFile huge(path);
    ASSERT_TRUE(huge.resize(50 * 1024 * 1024));
    prompts.openAnswers.push_back(path);
    document().executeFile();
    EXPECT_EQ(prompts.warnings, QStringList{"The file is too large"});
}

TEST_F(DocumentCommands, MemorySaveIntoAMissingFolderWarns)
{
    Tevra::MemoryMap.GetOrCreate(u"x") = 1;
    prompts.saveAnswers.push_back(directory.filePath("nowhere/m.vcm"));
    document().saveMemory();
    EXPECT_EQ(prompts.warnings, QStringList{"Cannot open the file for writing"});
}

}  // namespace
