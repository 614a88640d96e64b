// The recovery copy of unsaved text: written soon after a change, gone once
// the text is saved or given up, offered after a run that did not close
// properly, also when that run was a real process killed with SIGKILL; kept
// private, never written through a link, and never taken from an instance
// that still runs (a real second process).
#include "support/FrameSupport.h"

#include "desktop/services/QtText.h"
#include "desktop/document/CCalcDoc.h"
#include "desktop/document/CCalcRecovery.h"
#include "desktop/document/CalcRecoveryFiles.h"
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
#include <sys/stat.h>
#include <functional>
#include <string>

namespace {

QByteArray CalculationBytes(const char* text)
{
    const std::string bytes = Tevra::EncodeCalculationFile(Tevra::ToU16String(QString::fromUtf8(text)));
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

const QString RecoverQuestion =
    QStringLiteral("Calculator Tevra did not close properly. Recover the unsaved calculation?");
const QString RecoverOneQuestion =
    QStringLiteral("Calculator Tevra did not close properly. Recover one of the unsaved calculations?");
constexpr int PatienceMilliseconds = 15000;
// An instance that has ended: no lock of its name is held.
const QString EndedInstance = QStringLiteral("1-00000000000000ab-1~");

using Choice = ICalcDocPrompts::RecoverChoice;

int Mode(const QString& path)
{
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return -1;
    return static_cast<int>(status.st_mode & 07777);
}

// A copy an ended instance left, written some seconds ago, with the
// document it belongs to.
QString LeaveCopy(const QString& stem, const char* text, int secondsAgo, const QString& documentPath = {})
{
    const QString name = CCalcRecovery::Directory() + QLatin1Char('/') + EndedInstance + stem;
    QDir().mkpath(CCalcRecovery::Directory());
    {
        QFile file(name + QStringLiteral(".vcl"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(CalculationBytes(text));
        file.close();
        EXPECT_TRUE(file.open(QIODevice::ReadWrite));
        EXPECT_TRUE(
            file.setFileTime(QDateTime::currentDateTime().addSecs(-secondsAgo), QFileDevice::FileModificationTime));
    }
    if (!documentPath.isEmpty()) {
        QFile path(name + QStringLiteral(".path"));
        EXPECT_TRUE(path.open(QIODevice::WriteOnly));
        path.write(documentPath.toUtf8());
    }
    return name + QStringLiteral(".vcl");
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
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

TEST_F(Recovery, TheCopyIsNamedAfterTheInstanceAndTheDocumentInTheStateDirectory)
{
    const QString state = qEnvironmentVariable("XDG_STATE_HOME");
    EXPECT_EQ(CCalcRecovery::Directory(), state + QStringLiteral("/Vossek/Calculator Tevra"));
    const QString untitled = recovery().fileFor(QString());
    EXPECT_EQ(QFileInfo(untitled).absolutePath(), CCalcRecovery::Directory());
    EXPECT_TRUE(QFileInfo(untitled).fileName().startsWith(CalcRecoveryFiles::InstanceName() + QLatin1Char('-')));
    EXPECT_TRUE(untitled.endsWith(QStringLiteral("~Calculation.vcl"))) << untitled.toStdString();
    EXPECT_EQ(CalcRecoveryFiles::InstanceOf(QFileInfo(untitled).fileName()), CalcRecoveryFiles::InstanceName());
    const QString first = recovery().fileFor(path("a/sums.vcl"));
    const QString second = recovery().fileFor(path("b/sums.vcl"));
    EXPECT_TRUE(first.contains(QStringLiteral("~sums-"))) << first.toStdString();
    EXPECT_NE(first, second);
    EXPECT_EQ(first, recovery().fileFor(path("a/../a/sums.vcl")));
    // Another document of the same instance has a name of its own.
    std::unique_ptr<CCalcMainFrame> other = makeFrame();
    EXPECT_NE(other->document()->recovery()->fileFor(QString()), untitled);
    // Names of no instance: an older version's copy, a stray file.
    for (const char* name : {"Calculation.vcl", "sums-0123456789ab.vcl", "12-xyz-1~a.vcl"})
        EXPECT_EQ(CalcRecoveryFiles::InstanceOf(QString::fromLatin1(name)), QString()) << name;
}

TEST_F(Recovery, UnsavedTextIsCopiedPrivatelyAndTheCopyGoesOnceItIsSafe)
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
        // Nobody but the user reads the copy or looks into its folders.
        EXPECT_EQ(Mode(recovery().currentFile()), 0600);
        EXPECT_EQ(Mode(CCalcRecovery::Directory()), 0700);
        EXPECT_EQ(Mode(QFileInfo(CCalcRecovery::Directory()).absolutePath()), 0700);
        end();
        ASSERT_TRUE(waitForCopy(false));
    }
    // Nothing but the copies and the instance's lock ever lived there: no
    // temporary file is left.
    EXPECT_EQ(QDir(CCalcRecovery::Directory()).entryList(QDir::Files | QDir::Hidden),
              QStringList{CalcRecoveryFiles::InstanceName() + QStringLiteral(".lock")});
}

TEST_F(Recovery, AFolderOpenToOthersIsMadePrivate)
{
    const QString parent = QFileInfo(CCalcRecovery::Directory()).absolutePath();
    ASSERT_TRUE(QDir().mkpath(CCalcRecovery::Directory()));
    for (const QString& folder : {parent, CCalcRecovery::Directory()})
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
    recovery().offer(prompts);
    EXPECT_EQ(Mode(parent), 0700);
    EXPECT_EQ(Mode(CCalcRecovery::Directory()), 0700);
}

TEST_F(Recovery, EveryCopyAnEndedInstanceLeftIsOfferedNewestFirst)
{
    struct Row {
        const char* Case;
        bool WithDocument;
        bool CopyNewer;
        Choice Answer;
        bool Asked;
        const char* Text;  // in the editor afterwards
        bool Modified;
        bool CopyLeft;  // the ended instance's copy is still there
        bool Adopted;   // this instance's copy holds the text
    };
    const Row rows[] = {
        {"untitled, Yes", false, true, Choice::Recover, true, "1+2;recovered", true, false, true},
        {"untitled, No", false, true, Choice::Discard, true, "", false, false, false},
        {"untitled, Escape", false, true, Choice::Keep, true, "", false, true, false},
        // The document's file is opened although nobody named it.
        {"document, Yes", true, true, Choice::Recover, true, "1+2;recovered", true, false, true},
        {"document, No", true, true, Choice::Discard, true, "", false, false, false},
        {"document, Escape", true, true, Choice::Keep, true, "", false, true, false},
        {"document saved after the copy", true, false, Choice::Recover, false, "", false, false, false},
    };
    const QString documentPath = path("doc.vcl");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Case);
        QDir(CCalcRecovery::Directory()).removeRecursively();
        frame.reset();
        frame = makeFrame();
        frame->setPrompts(&prompts);
        prompts.questions.clear();
        prompts.recoverAnswer = {row.Answer, 0};
        WriteFile(documentPath, CalculationBytes("saved"));
        const QString copy = LeaveCopy(QStringLiteral("doc-1"), "1+2;recovered", row.CopyNewer ? 60 : 120,
                                       row.WithDocument ? documentPath : QString());
        if (row.WithDocument) {
            QFile document(documentPath);
            ASSERT_TRUE(document.open(QIODevice::ReadWrite));
            ASSERT_TRUE(
                document.setFileTime(QDateTime::currentDateTime().addSecs(-90), QFileDevice::FileModificationTime));
        }
        recovery().offer(prompts);
        recovery().waitForDisk();
        EXPECT_EQ(prompts.questions, row.Asked ? QStringList{RecoverQuestion} : QStringList{});
        EXPECT_EQ(frame->view()->text(), QString::fromUtf8(row.Text));
        EXPECT_EQ(document().isModified(), row.Modified);
        EXPECT_EQ(document().pathName(),
                  row.WithDocument && row.Answer == Choice::Recover && row.Asked ? documentPath : QString());
        EXPECT_EQ(QFileInfo::exists(copy), row.CopyLeft);
        EXPECT_EQ(QFileInfo::exists(recovery().currentFile()), row.Adopted);
    }
}

TEST_F(Recovery, SeveralCopiesAreOfferedAsAListNewestFirst)
{
    LeaveCopy(QStringLiteral("old"), "1;oldest", 300);
    LeaveCopy(QStringLiteral("new"), "3;newest", 10);
    LeaveCopy(QStringLiteral("mid"), "2;middle", 100, path("named.vcl"));
    prompts.recoverAnswer = {Choice::Recover, 1};
    recovery().offer(prompts);
    recovery().waitForDisk();
    ASSERT_EQ(prompts.questions, QStringList{RecoverOneQuestion});
    ASSERT_EQ(prompts.recoverLists.size(), 1u);
    const QStringList& list = prompts.recoverLists.front();
    ASSERT_EQ(list.size(), 3);
    EXPECT_TRUE(list[0].startsWith(QStringLiteral("Calculation, "))) << list[0].toStdString();
    EXPECT_TRUE(list[1].startsWith(path("named.vcl") + QStringLiteral(", "))) << list[1].toStdString();
    EXPECT_TRUE(list[2].startsWith(QStringLiteral("Calculation, "))) << list[2].toStdString();
    // The second one, whose file is gone, comes back untitled.
    EXPECT_EQ(frame->view()->text(), QStringLiteral("2;middle"));
    EXPECT_TRUE(document().isModified());
    // The others wait for the next start.
    const QStringList left =
        QDir(CCalcRecovery::Directory()).entryList({EndedInstance + QStringLiteral("*.vcl")}, QDir::Files);
    EXPECT_EQ(left,
              (QStringList{EndedInstance + QStringLiteral("new.vcl"), EndedInstance + QStringLiteral("old.vcl")}));
}

TEST_F(Recovery, ALinkIsNeverWrittenThroughNorOffered)
{
    // A file of the user's that a link planted in the copies' folder points
    // at: neither the writer nor the start-up touch it.
    const QString target = path("precious.txt");
    WriteFile(target, QByteArrayLiteral("precious"));
    ASSERT_TRUE(QDir().mkpath(CCalcRecovery::Directory()));
    const QString planted = CCalcRecovery::Directory() + QLatin1Char('/') + EndedInstance + QStringLiteral("x.vcl");
    ASSERT_TRUE(QFile::link(target, planted));
    ASSERT_TRUE(QFile::link(target, recovery().fileFor(QString())));

    frame->show();
    recovery().offer(prompts);
    EXPECT_TRUE(prompts.questions.isEmpty());
    QTest::keyClicks(frame->view(), QStringLiteral("6*7"));
    ASSERT_TRUE(QTest::qWaitFor(
        [this] {
            recovery().waitForDisk();
            return QFileInfo(recovery().currentFile()).isFile() && !QFileInfo(recovery().currentFile()).isSymLink();
        },
        PatienceMilliseconds));
    QFile precious(target);
    ASSERT_TRUE(precious.open(QIODevice::ReadOnly));
    EXPECT_EQ(precious.readAll(), QByteArrayLiteral("precious"));
    EXPECT_EQ(Mode(recovery().currentFile()), 0600);
    EXPECT_TRUE(QFileInfo(planted).isSymLink());
}

// Run by the tests below in a process of its own: types into a frame, tells
// its parent once the copy is on disk, and waits to be killed.
TEST_F(Recovery, DISABLED_ChildTypesAndWaitsToBeKilled)
{
    frame->show();
    prompts.recoverAnswer = {Choice::Keep, 0};
    recovery().offer(prompts);
    QTest::keyClicks(frame->view(), QStringLiteral("6*7;unsaved"));
    ASSERT_TRUE(waitForCopy(true));
    std::puts("copied");
    std::fflush(stdout);
    // Holds its lock until the parent kills it, or ends when the parent is
    // gone and its end of standard input with it.
    while (std::getchar() != EOF) {}
}

class RecoveryWithChild : public Recovery {
protected:
    void startChild()
    {
        child.setProgram(QCoreApplication::applicationFilePath());
        child.setArguments({QStringLiteral("--gtest_also_run_disabled_tests"),
                            QStringLiteral("--gtest_filter=Recovery.DISABLED_ChildTypesAndWaitsToBeKilled")});
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TEVRA_TEST_CHILD"), QStringLiteral("1"));
        child.setProcessEnvironment(environment);
        child.start();
        ASSERT_TRUE(child.waitForStarted(PatienceMilliseconds));
        QByteArray output;
        ASSERT_TRUE(QTest::qWaitFor(
            [this, &output] {
                child.waitForReadyRead(100);
                output += child.readAllStandardOutput();
                return output.contains("copied") || child.state() == QProcess::NotRunning;
            },
            PatienceMilliseconds * 2));
        ASSERT_TRUE(output.contains("copied")) << output.toStdString();
    }
    void killChild()
    {
        child.kill();  // SIGKILL: nothing of the child's own runs any more
        ASSERT_TRUE(child.waitForFinished(PatienceMilliseconds));
        EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
    }
    void TearDown() override
    {
        if (child.state() != QProcess::NotRunning) {
            child.kill();
            child.waitForFinished(PatienceMilliseconds);
        }
        Recovery::TearDown();
    }

    QProcess child;
};

TEST_F(RecoveryWithChild, TextTypedBeforeAKillIsOfferedAtTheNextStart)
{
    startChild();
    killChild();

    frame->show();
    recovery().offer(prompts);
    EXPECT_EQ(prompts.questions, QStringList{RecoverQuestion});
    EXPECT_EQ(frame->view()->text(), QStringLiteral("6*7;unsaved"));
    EXPECT_TRUE(document().isModified());
}

TEST_F(RecoveryWithChild, AnotherRunningInstancesCopyIsNeitherOfferedNorRemoved)
{
    startChild();
    const QStringList childCopies =
        QDir(CCalcRecovery::Directory()).entryList({QStringLiteral("*~Calculation.vcl")}, QDir::Files);
    ASSERT_EQ(childCopies.size(), 1);
    const QString childCopy = CCalcRecovery::Directory() + QLatin1Char('/') + childCopies.front();

    // This instance starts, types, and closes cleanly, both with an untitled
    // document, as the child has.
    frame->show();
    recovery().offer(prompts);
    EXPECT_TRUE(prompts.questions.isEmpty());
    QTest::keyClicks(frame->view(), QStringLiteral("1+1"));
    ASSERT_TRUE(waitForCopy(true));
    EXPECT_NE(recovery().currentFile(), childCopy);
    prompts.saveChoice = ICalcDocPrompts::SaveChoice::Discard;
    ASSERT_TRUE(frame->close());
    recovery().waitForDisk();
    EXPECT_TRUE(QFileInfo::exists(childCopy));

    // Once the child has ended, its copy is offered.
    killChild();
    restartFrame();
    recovery().offer(prompts);
    EXPECT_EQ(prompts.questions, QStringList{RecoverQuestion});
    EXPECT_EQ(frame->view()->text(), QStringLiteral("6*7;unsaved"));
}

}  // namespace
