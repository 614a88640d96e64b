// Text files that are not the program's own: a user's UTF-8 notes open and
// save as they were, line ends and marks included, and bytes the editor cannot
// show are never lost without a question.
#include "support/FrameSupport.h"
#include "support/Utf16Bytes.h"

#include "desktop/document/CCalcDoc.h"
#include "desktop/ui/editor/CCalcView.h"
#include "desktop/frame/CCalcStatusBar.h"
#include "desktop/services/CalcCommands.h"
#include "desktop/services/QtText.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray Bom("\xFF\xFE", 2);

class DocumentEncodings : public FrameTest {
protected:
    QString path(const char* name) const { return directory.filePath(QLatin1String(name)); }
    CCalcDoc& document() { return *frame->document(); }
    CCalcView& view() { return *frame->view(); }
    QString notice() const { return frame->calcStatusBar()->paneText(CCalcStatusBar::PromptPane); }

    void write(const char* name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray read(const char* name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir directory;
};

TEST_F(DocumentEncodings, FilesRoundTripByteForByte)
{
    struct Row {
        const char* Label;
        QByteArray Bytes;
        QString Text;  // as the editor shows it
    };
    const Row rows[] = {
        {"UTF-8, LF", "1+1;\n// caf\xC3\xA9 \xCE\x93(5)\n2*3 = 6\n",
         QString::fromUtf8("1+1;\n// café Γ(5)\n2*3 = 6\n")},
        {"UTF-8, CR LF", "x;\r\ny", QStringLiteral("x;\ny")},
        {"UTF-8 with its mark",
         "\xEF\xBB\xBF"
         "2^10 = 1024\n",
         QStringLiteral("2^10 = 1024\n")},
        {"UTF-8 on one line", "sqrt(2)", QStringLiteral("sqrt(2)")},
        {"program format, CR LF", Bom + Utf16("1;\r\n2"), QStringLiteral("1;\n2")},
        {"program format, LF", Bom + Utf16("1;\n2\n"), QStringLiteral("1;\n2\n")},
        {"UTF-16 without its mark", Utf16("3*3;\r\n"), QStringLiteral("3*3;\n")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Label);
        write("notes.txt", row.Bytes);
        ASSERT_TRUE(document().openDocument(path("notes.txt")));
        EXPECT_EQ(view().text(), row.Text);
        EXPECT_EQ(notice(), Tevra::ToQString(CalcCommand::IdlePrompt));
        // Written over by another program, which Save asks about first.
        write("notes.txt", QByteArray("overwritten"));
        prompts.questions.clear();
        ASSERT_TRUE(document().save());
        EXPECT_EQ(read("notes.txt"), row.Bytes);
        EXPECT_EQ(prompts.questions,
                  QStringList{QStringLiteral("The file has been changed by another program. Save "
                                             "anyway and overwrite those changes?")});
    }
}

TEST_F(DocumentEncodings, AnEditedUtf8FileStaysUtf8)
{
    write("notes.txt", "1+1\n");
    ASSERT_TRUE(document().openDocument(path("notes.txt")));
    document().Command(CmdCalculateAll);
    ASSERT_TRUE(CalculationApplied(*frame));
    ASSERT_TRUE(document().save());
    EXPECT_EQ(read("notes.txt"), QByteArray("1+1=2\n"));
}

// Save As keeps the file's encoding, except to a calculation or memory file
// name, which gets the program's own format.
TEST_F(DocumentEncodings, SaveAsToTheProgramsFileTypesWritesItsFormat)
{
    write("notes.txt", "1;\n2");
    ASSERT_TRUE(document().openDocument(path("notes.txt")));
    prompts.saveAnswers = {path("copy.txt"), path("calc.vcl"), path("cells.VCM")};
    ASSERT_TRUE(document().saveAs());
    EXPECT_EQ(read("copy.txt"), QByteArray("1;\n2"));
    ASSERT_TRUE(document().saveAs());
    EXPECT_EQ(read("calc.vcl"), Bom + Utf16("1;\r\n2"));
    ASSERT_TRUE(document().saveAs());
    EXPECT_EQ(read("cells.VCM"), Bom + Utf16("1;\r\n2"));
    // The document now is the program's file, and saving it keeps its format.
    ASSERT_TRUE(document().save());
    EXPECT_EQ(read("cells.VCM"), Bom + Utf16("1;\r\n2"));
}

TEST_F(DocumentEncodings, BytesTheEditorDoesNotShowAreNotLostWithoutAQuestion)
{
    struct Row {
        const char* Label;
        QByteArray Bytes;
        QString Notice;
        QString Question;
        QByteArray Saved;  // after Yes
    };
    const Row rows[] = {
        {"odd length", Bom + Utf16("1+1") + "Z",
         QStringLiteral("This file holds 1 byte after its text that the editor does not show"),
         QStringLiteral("This file holds 1 byte after its text that will be lost. Save anyway?"), Bom + Utf16("1+1")},
        {"text after a NUL", Bom + Utf16("7") + QByteArray(2, '\0') + Utf16("hidden"),
         QStringLiteral("This file holds 14 bytes after its text that the editor does not show"),
         QStringLiteral("This file holds 14 bytes after its text that will be lost. Save anyway?"), Bom + Utf16("7")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Label);
        prompts.questions.clear();
        write("data.vcl", row.Bytes);
        ASSERT_TRUE(document().openDocument(path("data.vcl")));
        EXPECT_EQ(notice(), row.Notice);

        prompts.confirmAnswer = false;
        EXPECT_FALSE(document().save());
        EXPECT_EQ(prompts.questions, QStringList{row.Question});
        EXPECT_EQ(read("data.vcl"), row.Bytes) << "No saves nothing";

        // Saved elsewhere, the file keeps its bytes and nothing is asked.
        prompts.saveAnswers.push_back(path("elsewhere.vcl"));
        ASSERT_TRUE(document().saveAs());
        EXPECT_EQ(prompts.questions.size(), 1);
        EXPECT_EQ(read("data.vcl"), row.Bytes);

        ASSERT_TRUE(document().openDocument(path("data.vcl")));
        prompts.confirmAnswer = true;
        ASSERT_TRUE(document().save());
        EXPECT_EQ(prompts.questions.size(), 2);
        EXPECT_EQ(read("data.vcl"), row.Saved);
        EXPECT_EQ(notice(), Tevra::ToQString(CalcCommand::IdlePrompt));
        // Once saved, nothing is left to lose.
        ASSERT_TRUE(document().save());
        EXPECT_EQ(prompts.questions.size(), 2);
    }
}

TEST_F(DocumentEncodings, ANewDocumentIsWrittenInTheProgramsFormat)
{
    write("notes.txt", "1\n2");
    ASSERT_TRUE(document().openDocument(path("notes.txt")));
    prompts.saveChoice = ICalcDocPrompts::SaveChoice::Discard;
    ASSERT_TRUE(document().newDocument());
    QTest::keyClicks(&view(), QStringLiteral("5"));
    prompts.saveAnswers.push_back(path("new.txt"));
    ASSERT_TRUE(document().save());
    EXPECT_EQ(read("new.txt"), Bom + Utf16("5"));
}

}  // namespace
