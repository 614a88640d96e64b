// Calculation files through the document: the byte format on disk (UTF-16LE,
// byte-order mark, CR LF), reading rules, failures that keep the user's work,
// and the "Save changes" question.
#include "support/FrameSupport.h"
#include "support/Utf16Bytes.h"

#include "desktop/document/CCalcDoc.h"
#include "core/files/CCalcFileText.h"
#include "desktop/ui/editor/CCalcView.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (const int value : values)
        bytes.append(static_cast<char>(value));
    return bytes;
}

const QByteArray Bom = Bytes({0xFF, 0xFE});

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class DocumentFiles : public FrameTest {
protected:
    QString path(const char* name) const { return directory.filePath(QLatin1String(name)); }
    CCalcDoc& document() { return *frame->document(); }
    CCalcView& view() { return *frame->view(); }

    QTemporaryDir directory;
};

TEST_F(DocumentFiles, OpenAndSaveRoundTripByteForByte)
{
    // Non-ASCII text, a surrogate pair and a non-breaking space must survive.
    QByteArray original =
        Bom + Utf16("x=1;\r\n\r\n// ") + Bytes({0xA0, 0x00, 0x3D, 0xD8, 0x00, 0xDE, 0xE9, 0x00}) + Utf16(" 2*3=6;\r\n");
    WriteFile(path("in.vcl"), original);
    ASSERT_TRUE(document().openDocument(path("in.vcl")));
    EXPECT_FALSE(document().isModified());
    EXPECT_EQ(document().title(), QStringLiteral("in.vcl"));
    prompts.saveAnswers.push_back(path("out.vcl"));
    ASSERT_TRUE(document().saveAs());
    EXPECT_EQ(ReadFile(path("out.vcl")), original);
    EXPECT_EQ(document().pathName(), QFileInfo(path("out.vcl")).absoluteFilePath());
}

TEST_F(DocumentFiles, SavingAnEmptyEditorWritesTheMarkOnly)
{
    prompts.saveAnswers.push_back(path("empty.vcl"));
    ASSERT_TRUE(document().save());
    EXPECT_EQ(ReadFile(path("empty.vcl")), Bom);
    ASSERT_TRUE(document().openDocument(path("empty.vcl")));
    EXPECT_EQ(view().text(), QString());
}

TEST_F(DocumentFiles, SaveAsOffersTheUntitledNameAndTheThreeFilters)
{
    prompts.saveAnswers.push_back(QString());
    EXPECT_FALSE(document().saveAs());
    ASSERT_EQ(prompts.saveRequests.size(), 1u);
    const CalcFileDialogRequest& request = prompts.saveRequests.front();
    EXPECT_EQ(request.Title, QStringLiteral("Save As"));
    EXPECT_EQ(request.InitialName, QStringLiteral("Calculation.vcl"));
    EXPECT_EQ(request.DefaultSuffix, QStringLiteral("vcl"));
    EXPECT_EQ(
        request.Filters,
        (QStringList{"Calculator calculation files (*.vcl)", "Calculator memory files (*.vcm)", "All files (*.*)"}));
}

TEST_F(DocumentFiles, SaveIntoAMissingFolderWarnsAndKeepsTheDocumentAsItWas)
{
    view().loadText(QStringLiteral("1+1"));
    QTest::keyClicks(&view(), QStringLiteral("2"));
    prompts.saveAnswers.push_back(path("no such folder/x.vcl"));
    EXPECT_FALSE(document().save());
    EXPECT_EQ(prompts.warnings, QStringList{"Cannot open the file for writing: No such file or directory"});
    EXPECT_TRUE(document().isModified());
    EXPECT_TRUE(document().pathName().isEmpty());
}

TEST_F(DocumentFiles, SaveOverAnExistingFileReplacesItWhole)
{
    WriteFile(path("calc.vcl"), Bom + Utf16("a much longer text than the new one;\r\n"));
    ASSERT_TRUE(document().openDocument(path("calc.vcl")));
    view().loadText(QStringLiteral("1"));
    ASSERT_TRUE(document().save());
    EXPECT_EQ(ReadFile(path("calc.vcl")), Bom + Utf16("1"));
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(directory.path()).entryList(QDir::Files), QStringList{"calc.vcl"});
}

TEST_F(DocumentFiles, OpeningAMissingFileWarnsAndKeepsTheText)
{
    view().loadText(QStringLiteral("keep me"));
    EXPECT_FALSE(document().openDocument(path("missing.vcl")));
    EXPECT_EQ(prompts.warnings, QStringList{"Cannot open the file for reading"});
    EXPECT_EQ(view().text(), QStringLiteral("keep me"));
}

TEST_F(DocumentFiles, AHugeFileIsRefusedWithAMessage)
{
    QFile huge(path("huge.vcl"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(50 * 1024 * 1024));
    huge.close();
    view().loadText(QStringLiteral("keep me"));
    EXPECT_FALSE(document().openDocument(path("huge.vcl")));
    EXPECT_EQ(prompts.warnings, QStringList{"The file is too large"});
    EXPECT_EQ(view().text(), QStringLiteral("keep me"));
}

TEST_F(DocumentFiles, ATextOfMoreCharactersThanTheEditorServesIsRefused)
{
    // UTF-8 text below the byte limit, but with a character for every byte.
    const QByteArray longest(static_cast<qsizetype>(Tevra::MaxEditorCharacters), '7');
    for (const QByteArray& bytes : {longest + '7', longest}) {
        QFile file(path("long.txt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
        file.close();
        view().loadText(QStringLiteral("keep me"));
        prompts.warnings.clear();
        const bool opened = document().openDocument(path("long.txt"));
        EXPECT_EQ(opened, bytes.size() == longest.size()) << bytes.size();
        EXPECT_EQ(prompts.warnings, opened ? QStringList() : QStringList{"The file is too large"}) << bytes.size();
        EXPECT_EQ(view().text().size(), opened ? bytes.size() : 7) << bytes.size();
    }
}

TEST_F(DocumentFiles, ABinaryFileOpensAsTextUpToItsFirstNul)
{
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary.append(static_cast<char>((i * 7919 + 13) % 251 + 1));
    binary.append(Bytes({0, 0}));
    binary.append(QByteArray(1000, 'x'));
    WriteFile(path("binary.bin"), binary);
    ASSERT_TRUE(document().openDocument(path("binary.bin")));
    EXPECT_EQ(view().text().size(), 2048);
    document().Command(CmdCalculateAll);  // whatever it is, the engine reports it
}

TEST_F(DocumentFiles, UnsavedWorkIsOfferedForSavingBeforeItIsLost)
{
    QTest::keyClicks(&view(), QStringLiteral("1+2"));
    prompts.saveChoice = ICalcDocPrompts::SaveChoice::Cancel;
    EXPECT_FALSE(document().newDocument());
    EXPECT_EQ(prompts.saveChangesAsked, QStringList{"Calculation"});
    EXPECT_EQ(view().text(), QStringLiteral("1+2"));

    prompts.saveChoice = ICalcDocPrompts::SaveChoice::Discard;
    EXPECT_TRUE(document().newDocument());
    EXPECT_EQ(view().text(), QString());

    // Closing the window asks too, and Cancel keeps it open.
    frame->show();
    QTest::keyClicks(&view(), QStringLiteral("3"));
    prompts.saveChoice = ICalcDocPrompts::SaveChoice::Cancel;
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(frame->isVisible());
}

TEST_F(DocumentFiles, ACalculationCountsAsUnsavedWork)
{
    WriteFile(path("calc.vcl"), Bom + Utf16("2*2"));
    ASSERT_TRUE(document().openDocument(path("calc.vcl")));
    document().Command(CmdCalculateAll);
    ASSERT_TRUE(CalculationApplied(*frame));
    EXPECT_EQ(view().text(), QStringLiteral("2*2=4"));
    EXPECT_TRUE(document().isModified());
}

}  // namespace
