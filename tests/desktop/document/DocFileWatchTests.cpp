// The document's file changed or deleted by another program while it is
// open: an unmodified text follows the file, unsaved changes are kept unless
// the user asks to reload, and Save never overwrites the other program's
// file, nor re-creates a deleted one, without asking. The other program is a
// real writer: this process writing the file directly, replacing it by
// renaming, or a second process copying over it.
#include "support/FrameSupport.h"

#include "desktop/document/CCalcDoc.h"
#include "desktop/document/CCalcFileWatch.h"
#include "desktop/services/QtText.h"
#include "core/formats/TextCodec.h"
#include "desktop/ui/editor/CCalcView.h"

#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <functional>
#include <string>

namespace {

const QString ReloadQuestion =
    QStringLiteral("The file has been changed by another program. Reload it and lose your changes?");
const QString OverwriteQuestion =
    QStringLiteral("The file has been changed by another program. Save anyway and overwrite those changes?");
const QString SaveDeletedQuestion = QStringLiteral("The file has been deleted by another program. Save it again?");
const QString ReloadedNotice = QStringLiteral("The file was changed by another program and has been reloaded.");
const QString DeletedNotice = QStringLiteral("The file has been deleted by another program.");
// Guards against a hang only: every wait ends on the file or the signal.
constexpr int PatienceMilliseconds = 20000;

QByteArray CalculationBytes(const QString& text)
{
    const std::string bytes = Tevra::EncodeCalculationFile(Tevra::ToU16String(text));
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// The ways another program puts new content in the file.
struct Writer {
    const char* Name;
    std::function<bool(const QString& path, const QByteArray& bytes)> Write;
};

const std::vector<Writer>& Writers()
{
    static const std::vector<Writer> writers = {
        {"written in place", WriteFile},
        {"replaced by renaming",
         [](const QString& path, const QByteArray& bytes) {
             const QString passing = path + QStringLiteral(".new");
             return WriteFile(passing, bytes) &&
                 std::rename(QFile::encodeName(passing).constData(), QFile::encodeName(path).constData()) == 0;
         }},
        {"copied over by a second process",
         [](const QString& path, const QByteArray& bytes) {
             const QString source = path + QStringLiteral(".source");
             if (!WriteFile(source, bytes))
                 return false;
             QProcess copy;
             copy.start(QStandardPaths::findExecutable(QStringLiteral("cp")), {source, path});
             return copy.waitForFinished(PatienceMilliseconds) && copy.exitStatus() == QProcess::NormalExit &&
                 copy.exitCode() == 0;
         }},
    };
    return writers;
}

class FileWatch : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        file = directory.filePath(QStringLiteral("sums.vcl"));
        ASSERT_TRUE(WriteFile(file, CalculationBytes(QStringLiteral("1+1"))));
        ASSERT_TRUE(document().openDocument(file));
        notices = std::make_unique<QSignalSpy>(&document(), &CCalcDoc::fileNotice);
    }

    CCalcDoc& document() { return *frame->document(); }
    CCalcView& view() { return *frame->view(); }
    bool noticed(const QString& notice) const
    {
        for (const QList<QVariant>& arguments : *notices) {
            if (arguments.at(0).toString() == notice)
                return true;
        }
        return false;
    }
    // Waits until the watcher has caught up with everything done to the
    // folder so far: the events come in order, so once a new file made now
    // is reported, all that came before it has been handled.
    void waitForTheWatcher()
    {
        QSignalSpy seen(document().fileWatch(), &CCalcFileWatch::changedOnDisk);
        const QString marker = directory.filePath(QStringLiteral("marker-%1").arg(++markers));
        ASSERT_TRUE(WriteFile(marker, "x"));
        ASSERT_TRUE(seen.wait(PatienceMilliseconds));
    }

    QTemporaryDir directory;
    QString file;
    std::unique_ptr<QSignalSpy> notices;
    int markers = 0;
};

TEST_F(FileWatch, AnUnmodifiedTextIsReloadedAndTheStatusBarSaysSo)
{
    int round = 0;
    for (const Writer& writer : Writers()) {
        SCOPED_TRACE(writer.Name);
        notices->clear();
        const QString text = QStringLiteral("2*%1").arg(++round);
        ASSERT_TRUE(writer.Write(file, CalculationBytes(text)));
        ASSERT_TRUE(QTest::qWaitFor([&] { return view().text() == text; }, PatienceMilliseconds));
        EXPECT_FALSE(document().isModified());
        EXPECT_TRUE(noticed(ReloadedNotice));
        EXPECT_TRUE(prompts.questions.isEmpty());
    }
}

TEST_F(FileWatch, WithUnsavedChangesTheUserIsAskedBeforeReloading)
{
    struct Row {
        const char* Case;
        bool Reload;
        const char* Text;  // afterwards
        bool Modified;
    };
    const Row rows[] = {
        {"Yes reloads", true, "3*3", false},
        {"No keeps the changes", false, "1+1;mine", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Case);
        prompts.saveChoice = ICalcDocPrompts::SaveChoice::Discard;
        ASSERT_TRUE(WriteFile(file, CalculationBytes(QStringLiteral("1+1"))));
        ASSERT_TRUE(document().openDocument(file));
        prompts.questions.clear();
        prompts.confirmAnswer = row.Reload;
        view().setSelection(3, 3);
        QTest::keyClicks(&view(), QStringLiteral(";mine"));
        ASSERT_TRUE(document().isModified());
        // Put in place at once, so that no half-written file is seen.
        ASSERT_TRUE(Writers()[1].Write(file, CalculationBytes(QStringLiteral("3*3"))));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !prompts.questions.isEmpty(); }, PatienceMilliseconds));
        EXPECT_EQ(view().text(), QString::fromUtf8(row.Text));
        EXPECT_EQ(document().isModified(), row.Modified);
        // Whatever else the watcher reports of the same change asks nothing
        // more.
        waitForTheWatcher();
        EXPECT_EQ(prompts.questions, QStringList{ReloadQuestion});
    }
}

TEST_F(FileWatch, SaveAsksBeforeOverwritingAnotherProgramsChange)
{
    struct Row {
        const char* Case;
        bool Overwrite;
        bool Saved;
    };
    const Row rows[] = {
        {"No keeps the other program's file", false, false},
        {"Yes writes the text", true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Case);
        ASSERT_TRUE(WriteFile(file, CalculationBytes(QStringLiteral("1+1"))));
        prompts.saveChoice = ICalcDocPrompts::SaveChoice::Discard;
        ASSERT_TRUE(document().openDocument(file));
        prompts.questions.clear();
        view().setSelection(3, 3);
        QTest::keyClicks(&view(), QStringLiteral(";mine"));
        // Another program writes, and Save comes before the watcher has
        // said a word: the check at Save sees the change all the same.
        const QByteArray theirs = CalculationBytes(QStringLiteral("theirs"));
        ASSERT_TRUE(WriteFile(file, theirs));
        prompts.confirmAnswer = row.Overwrite;
        EXPECT_EQ(document().save(), row.Saved);
        EXPECT_EQ(prompts.questions, QStringList{OverwriteQuestion});
        EXPECT_EQ(ReadFile(file), row.Saved ? CalculationBytes(QStringLiteral("1+1;mine")) : theirs);
        EXPECT_EQ(document().isModified(), !row.Saved);
    }
}

TEST_F(FileWatch, OwnSavesAndTouchesAreNoChange)
{
    view().setSelection(3, 3);
    QTest::keyClicks(&view(), QStringLiteral(";2"));
    ASSERT_TRUE(document().save());
    waitForTheWatcher();
    // The same content under a new time.
    {
        QFile touched(file);
        ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
        ASSERT_TRUE(touched.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    }
    waitForTheWatcher();
    QTest::keyClicks(&view(), QStringLiteral("3"));
    EXPECT_TRUE(document().save());
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_FALSE(noticed(ReloadedNotice));
    EXPECT_EQ(ReadFile(file), CalculationBytes(QStringLiteral("1+1;23")));
}

TEST_F(FileWatch, AFileDeletedWhileOpenIsReportedAndNotSilentlyMadeAgain)
{
    view().setSelection(3, 3);
    QTest::keyClicks(&view(), QStringLiteral(";mine"));
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(QTest::qWaitFor([&] { return noticed(DeletedNotice); }, PatienceMilliseconds));
    EXPECT_EQ(view().text(), QStringLiteral("1+1;mine"));
    EXPECT_TRUE(prompts.questions.isEmpty());

    prompts.confirmAnswer = false;
    EXPECT_FALSE(document().save());
    EXPECT_EQ(prompts.questions, QStringList{SaveDeletedQuestion});
    EXPECT_FALSE(QFile::exists(file));

    prompts.confirmAnswer = true;
    EXPECT_TRUE(document().save());
    EXPECT_EQ(ReadFile(file), CalculationBytes(QStringLiteral("1+1;mine")));
    EXPECT_FALSE(document().isModified());
}

}  // namespace
