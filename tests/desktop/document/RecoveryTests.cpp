// The recovery copy of unsaved text: written soon after a change, gone once
// the text is saved or given up, offered after a run that did not close
// properly, also when that run was a real process killed with SIGKILL.
#include "support/FrameSupport.h"

#include "desktop/services/QtText.h"
#include "desktop/document/CCalcDoc.h"
#include "desktop/document/CCalcRecovery.h"
#include "core/formats/TextCodec.h"
#include "desktop/ui/editor/CCalcView.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <functional>
#include <string>

namespace {

const QString RecoverQuestion =
    QStringLiteral("Calculator Tevra did not close properly. Recover the unsaved calculation?");
constexpr int PatienceMilliseconds = 15000;

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray CalculationBytes(const char* text)
{
    const std::string bytes = Tevra::EncodeCalculationFile(Tevra::ToU16String(QString::fromUtf8(text)));
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

class Recovery : public FrameTest {
protected:
    void SetUp() override
    {
        QDir(CCalcRecovery::Directory()).removeRecursively();
        FrameTest::SetUp();
    }
    void TearDown() override
    {
        FrameTest::TearDown();
        QDir(CCalcRecovery::Directory()).removeRecursively();
    }

    CCalcDoc& document() { return *frame->document(); }
    CCalcRecovery& recovery() { return *frame->document()->recovery(); }
    QString path(const char* name) const { return directory.filePath(QLatin1String(name)); }

    bool waitForCopy(bool present)
    {
        return QTest::qWaitFor(
            [this, present] {
                recovery().waitForDisk();
                return QFileInfo::exists(recovery().currentFile()) == present;
            },
            PatienceMilliseconds);
    }

    QTemporaryDir directory;
};

TEST_F(Recovery, TheCopyIsNamedAfterTheDocumentInTheStateDirectory)
{
    const QString state = qEnvironmentVariable("XDG_STATE_HOME");
    EXPECT_EQ(CCalcRecovery::Directory(), state + QStringLiteral("/Vossek/Calculator Tevra"));
    EXPECT_EQ(CCalcRecovery::FileFor(QString()), CCalcRecovery::Directory() + QStringLiteral("/Calculation.vcl"));
    const QString first = CCalcRecovery::FileFor(path("a/sums.vcl"));
    const QString second = CCalcRecovery::FileFor(path("b/sums.vcl"));
    EXPECT_TRUE(QFileInfo(first).fileName().startsWith(QStringLiteral("sums-"))) << first.toStdString();
    EXPECT_NE(first, second);
    EXPECT_EQ(first, CCalcRecovery::FileFor(path("a/../a/sums.vcl")));
}

TEST_F(Recovery, UnsavedTextIsCopiedAndTheCopyGoesOnceItIsSafe)
{
    frame->show();
    recovery().offer(prompts);
    EXPECT_TRUE(prompts.questions.isEmpty());
    prompts.saveChoice = ICalcDocPrompts::SaveChoice::Discard;

    // Each row changes the text, waits for its copy, then ends the unsaved
    // state one way.
    const std::vector<std::pair<const char*, std::function<void()>>> endings = {
        {"saved",
         [this] {
             prompts.saveAnswers.push_back(path("kept.vcl"));
             ASSERT_TRUE(document().save());
         }},
        {"new after No to Save changes", [this] { ASSERT_TRUE(document().newDocument()); }},
        {"undone to the saved text", [this] { frame->view()->undo(); }},
        {"closed", [this] { ASSERT_TRUE(frame->close()); }},
    };
    for (const auto& [how, end] : endings) {
        SCOPED_TRACE(how);
        frame->view()->setSelection(0, 0);
        QTest::keyClicks(frame->view(), QStringLiteral("3*4"));
        ASSERT_TRUE(waitForCopy(true));
        QFile copy(recovery().currentFile());
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
        EXPECT_EQ(copy.readAll(), CalculationBytes(frame->view()->text().toUtf8().constData()));
        copy.close();
        end();
        ASSERT_TRUE(waitForCopy(false));
    }
    // Nothing but the copies ever lived there: no temporary file is left.
    EXPECT_TRUE(QDir(CCalcRecovery::Directory()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(Recovery, ACopyLeftBehindIsOfferedWhenNewerThanItsDocument)
{
    struct Row {
        const char* Case;
        bool WithDocument;
        bool CopyNewer;
        bool Answer;
        bool Asked;
        const char* Text;  // in the editor afterwards
        bool Modified;
        bool CopyKept;
    };
    const Row rows[] = {
        {"untitled, Yes", false, true, true, true, "1+2;recovered", true, true},
        {"untitled, No", false, true, false, true, "", false, false},
        {"document, Yes", true, true, true, true, "1+2;recovered", true, true},
        {"document, No", true, true, false, true, "saved", false, false},
        {"document saved after the copy", true, false, true, false, "saved", false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Case);
        frame.reset();
        frame = makeFrame();
        frame->setPrompts(&prompts);
        prompts.questions.clear();
        prompts.confirmAnswer = row.Answer;
        const QString documentPath = path("doc.vcl");
        if (row.WithDocument) {
            WriteFile(documentPath, CalculationBytes("saved"));
            ASSERT_TRUE(document().openDocument(documentPath));
        }
        const QString copy = CCalcRecovery::FileFor(row.WithDocument ? documentPath : QString());
        WriteFile(copy, CalculationBytes("1+2;recovered"));
        if (row.WithDocument) {
            // The older of the two dates back a minute.
            QFile older(row.CopyNewer ? documentPath : copy);
            ASSERT_TRUE(older.open(QIODevice::ReadWrite));
            ASSERT_TRUE(
                older.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
        }
        recovery().offer(prompts);
        recovery().waitForDisk();
        EXPECT_EQ(prompts.questions, row.Asked ? QStringList{RecoverQuestion} : QStringList{});
        EXPECT_EQ(frame->view()->text(), QString::fromUtf8(row.Text));
        EXPECT_EQ(document().isModified(), row.Modified);
        EXPECT_EQ(document().pathName().isEmpty(), !row.WithDocument);
        EXPECT_EQ(QFileInfo::exists(copy), row.CopyKept);
        QFile::remove(copy);
    }
}

// Run by the test below in a process of its own: types into a frame, tells
// its parent once the copy is on disk, and waits to be killed.
TEST_F(Recovery, DISABLED_ChildTypesAndWaitsToBeKilled)
{
    frame->show();
    prompts.confirmAnswer = false;
    recovery().offer(prompts);
    QTest::keyClicks(frame->view(), QStringLiteral("6*7;unsaved"));
    ASSERT_TRUE(waitForCopy(true));
    std::puts("copied");
    std::fflush(stdout);
    QTest::qWait(PatienceMilliseconds);
}

TEST_F(Recovery, TextTypedBeforeAKillIsOfferedAtTheNextStart)
{
    QProcess child;
    child.setProgram(QCoreApplication::applicationFilePath());
    child.setArguments({QStringLiteral("--gtest_also_run_disabled_tests"),
                        QStringLiteral("--gtest_filter=Recovery.DISABLED_ChildTypesAndWaitsToBeKilled")});
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TEVRA_TEST_CHILD"), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.start();
    ASSERT_TRUE(child.waitForStarted(PatienceMilliseconds));
    ASSERT_TRUE(QTest::qWaitFor(
        [&child] {
            child.waitForReadyRead(100);
            return child.readAllStandardOutput().contains("copied");
        },
        PatienceMilliseconds));
    child.kill();  // SIGKILL: nothing of the child's own runs any more
    ASSERT_TRUE(child.waitForFinished(PatienceMilliseconds));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

    frame->show();
    prompts.confirmAnswer = true;
    recovery().offer(prompts);
    EXPECT_EQ(prompts.questions, QStringList{RecoverQuestion});
    EXPECT_EQ(frame->view()->text(), QStringLiteral("6*7;unsaved"));
    EXPECT_TRUE(document().isModified());
}

}  // namespace
