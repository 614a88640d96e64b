// One running instance per user and display, with real processes: this test
// program is the running instance, and the built desktop program is started
// beside it the way a file manager starts it.
#include "support/FrameSupport.h"

#include "desktop/app/CCalcApp.h"
#include "desktop/app/CCalcInstance.h"
#include "desktop/document/CCalcDoc.h"
#include "desktop/ui/editor/CCalcView.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace {

// Points this process's running-instance socket at a folder of the test
// for the life of the guard.
class RuntimeFolder {
public:
    RuntimeFolder() : saved_(qgetenv("XDG_RUNTIME_DIR")) { qputenv("XDG_RUNTIME_DIR", folder_.path().toUtf8()); }
    ~RuntimeFolder() { qputenv("XDG_RUNTIME_DIR", saved_); }
    QString path() const { return folder_.path(); }

private:
    QByteArray saved_;
    QTemporaryDir folder_;
};

class SecondStart : public ::testing::Test {
protected:
    void SetUp() override
    {
        ProgramStore().clear();
        NCalculatorText::ResetProcessState();
    }
    void TearDown() override
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
        if (app && app->frame()) {
            prompts.saveChoice = ICalcDocPrompts::SaveChoice::Discard;
            app->frame()->close();
        }
        app.reset();
        ProgramStore().clear();
        NCalculatorText::ResetProcessState();
    }

    void startPrimary()
    {
        app = std::make_unique<CCalcApp>();
        ASSERT_TRUE(app->start({}));
        app->frame()->setPrompts(&prompts);
    }

    // The desktop program with arguments, in folder, with this test's
    // runtime folder and settings of its own.
    void startSecond(const QStringList& arguments, const QString& folder = QString())
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), secondConfig.path());
        environment.insert(QStringLiteral("XDG_DATA_HOME"), secondConfig.filePath(QStringLiteral("data")));
        process.setProcessEnvironment(environment);
        if (!folder.isEmpty())
            process.setWorkingDirectory(folder);
        process.start(QStringLiteral(TEVRA_DESKTOP_BINARY), arguments);
        ASSERT_TRUE(process.waitForStarted(10000));
    }

    // Runs this process's events until the second start has ended; false on
    // timeout.
    bool waitForSecondToEnd(int milliseconds = 20000)
    {
        QDeadlineTimer deadline(milliseconds);
        // waitForFinished is false too for a process that ended while
        // events ran elsewhere (a question's event loop).
        while (process.state() != QProcess::NotRunning && !process.waitForFinished(10)) {
            QCoreApplication::processEvents();
            if (deadline.hasExpired())
                return false;
        }
        QCoreApplication::processEvents();
        return true;
    }

    template <typename Condition> bool waitFor(Condition condition, int milliseconds = 5000)
    {
        QDeadlineTimer deadline(milliseconds);
        while (!condition()) {
            if (deadline.hasExpired())
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return true;
    }

    QString calculationFile(const QString& name, const QByteArray& utf16Text)
    {
        const QString path = files.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("\xFF\xFE", 2) + utf16Text);
        return path;
    }

    static int FrameCount()
    {
        int frames = 0;
        for (const QWidget* window : QApplication::topLevelWidgets())
            frames += qobject_cast<const CCalcMainFrame*>(window) != nullptr ? 1 : 0;
        return frames;
    }

    RuntimeFolder runtime;
    QTemporaryDir secondConfig;
    QTemporaryDir files;
    std::unique_ptr<CCalcApp> app;
    FakePrompts prompts;
    QProcess process;
};

TEST_F(SecondStart, HandsItsFileToTheRunningWindowAndEnds)
{
    startPrimary();
    const QString path = calculationFile(QStringLiteral("handed.vcl"),
                                         QByteArray("2\0*\0"
                                                    "3\0",
                                                    6));
    startSecond({path});
    ASSERT_TRUE(waitForSecondToEnd()) << "the second start ends once it has handed the file over";
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    ASSERT_TRUE(waitFor([&] { return app->frame()->document()->pathName() == path; }));
    EXPECT_EQ(app->frame()->view()->text(), QStringLiteral("2*3"));
    EXPECT_EQ(FrameCount(), 1);
    EXPECT_FALSE(QFileInfo::exists(secondConfig.filePath(QStringLiteral("Vossek"))))
        << "the start that handed over touched no settings";
}

TEST_F(SecondStart, ARelativePathIsTheSecondStartsFolders)
{
    startPrimary();
    const QString path = calculationFile(QStringLiteral("relative.vcl"), QByteArray("7\0", 2));
    startSecond({QStringLiteral("relative.vcl")}, files.path());
    ASSERT_TRUE(waitForSecondToEnd());
    EXPECT_EQ(process.exitCode(), 0);
    ASSERT_TRUE(waitFor([&] { return app->frame()->document()->pathName() == path; }));
}

TEST_F(SecondStart, UnsavedWorkIsOfferedForSavingFirst)
{
    startPrimary();
    app->frame()->document()->InsertText(u"1+1");
    prompts.saveChoice = ICalcDocPrompts::SaveChoice::Cancel;
    const QString path = calculationFile(QStringLiteral("kept.vcl"), QByteArray("9\0", 2));
    startSecond({path});
    ASSERT_TRUE(waitForSecondToEnd());
    ASSERT_TRUE(waitFor([&] { return !prompts.saveChangesAsked.isEmpty(); }));
    EXPECT_EQ(app->frame()->view()->text(), QStringLiteral("1+1")) << "cancelled: the work stays";

    prompts.saveChoice = ICalcDocPrompts::SaveChoice::Discard;
    startSecond({path});
    ASSERT_TRUE(waitForSecondToEnd());
    ASSERT_TRUE(waitFor([&] { return app->frame()->view()->text() == QStringLiteral("9"); }));
}

// Asks as a dialog does: the answer comes after an event loop of its own,
// which runs while the second start ends and its connection goes.
class WaitingPrompts final : public FakePrompts {
public:
    SaveChoice askSaveChanges(const QString& name) override
    {
        QEventLoop dialog;
        QTimer::singleShot(400, &dialog, &QEventLoop::quit);
        dialog.exec();
        return FakePrompts::askSaveChanges(name);
    }
};

TEST_F(SecondStart, AQuestionOfTheRunningWindowOutlastsTheConnection)
{
    startPrimary();
    WaitingPrompts waiting;
    waiting.saveChoice = ICalcDocPrompts::SaveChoice::Discard;
    app->frame()->setPrompts(&waiting);
    app->frame()->document()->InsertText(u"1+1");
    const QString path = calculationFile(QStringLiteral("asked.vcl"), QByteArray("8\0", 2));
    startSecond({path});
    ASSERT_TRUE(waitForSecondToEnd());
    EXPECT_EQ(process.exitCode(), 0);
    ASSERT_TRUE(waitFor([&] { return app->frame()->document()->pathName() == path; }));
    EXPECT_EQ(waiting.saveChangesAsked.size(), 1u);
    EXPECT_EQ(app->frame()->view()->text(), QStringLiteral("8"));
    app->frame()->setPrompts(&prompts);
}

TEST_F(SecondStart, ARequestWaitsForAnOpenDialog)
{
    startPrimary();
    QDialog dialog(app->frame());
    dialog.setModal(true);
    dialog.show();
    const QString path = calculationFile(QStringLiteral("later.vcl"), QByteArray("4\0", 2));
    startSecond({path});
    ASSERT_TRUE(waitForSecondToEnd());
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(app->frame()->document()->pathName().isEmpty()) << "nothing opens under a dialog";
    dialog.close();
    ASSERT_TRUE(waitFor([&] { return app->frame()->document()->pathName() == path; }));
}

TEST_F(SecondStart, WithoutAFileItBringsTheRunningWindowBack)
{
    startPrimary();
    app->frame()->showMinimized();
    ASSERT_TRUE(waitFor([&] { return app->frame()->isMinimized(); }));
    startSecond({});
    ASSERT_TRUE(waitForSecondToEnd());
    EXPECT_EQ(process.exitCode(), 0);
    ASSERT_TRUE(waitFor([&] { return !app->frame()->isMinimized(); }));
    EXPECT_TRUE(app->frame()->document()->pathName().isEmpty());
}

TEST_F(SecondStart, TheSocketOfACrashedInstanceIsTakenOver)
{
    // A socket file that nobody listens on, as a killed instance leaves it.
    const QByteArray name = QFile::encodeName(CCalcInstance::ServerName());
    const int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(stale, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(static_cast<std::size_t>(name.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
    ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(stale);
    ASSERT_TRUE(QFileInfo::exists(QString::fromLocal8Bit(name)));

    const QString path = calculationFile(QStringLiteral("stale.vcl"), QByteArray("1\0", 2));
    startSecond({path});
    // It listens where the dead instance did ...
    ASSERT_TRUE(waitFor(
        [] {
            QLocalSocket probe;
            probe.connectToServer(CCalcInstance::ServerName());
            return probe.waitForConnected(200);
        },
        20000))
        << process.readAllStandardError().toStdString();
    // ... and runs on as the instance: a later start is handed to it.
    CCalcInstance later;
    EXPECT_EQ(later.claim(QString()), CCalcInstance::Claim::HandedOver);
    EXPECT_EQ(process.state(), QProcess::Running);
}

TEST_F(SecondStart, BesideAnInstanceThatDoesNotAnswerItRunsOnButWritesNoSettings)
{
    // Listens, but this process answers nothing while the second start waits.
    QLocalServer silent;
    QLocalServer::removeServer(CCalcInstance::ServerName());
    ASSERT_TRUE(silent.listen(CCalcInstance::ServerName()));
    const QString path = calculationFile(QStringLiteral("alone.vcl"), QByteArray("5\0", 2));
    startSecond({path});
    process.setReadChannel(QProcess::StandardError);
    QByteArray said;
    QDeadlineTimer deadline(20000);
    while (!said.contains("does not answer") && !deadline.hasExpired() && process.state() == QProcess::Running) {
        process.waitForReadyRead(100);
        said += process.readAllStandardError();
    }
    EXPECT_TRUE(said.contains("does not answer")) << said.toStdString();
    // It opened the file (and put it on its recent-file list) without
    // writing the settings store.
    process.waitForFinished(1500);
    EXPECT_EQ(process.state(), QProcess::Running);
    EXPECT_FALSE(QFileInfo::exists(secondConfig.filePath(QStringLiteral("Vossek/Calculator Tevra.conf"))));
}

TEST(InstanceFolder, NoFolderAnotherUserMayWriteHoldsTheSocket)
{
    {
        RuntimeFolder open;
        ASSERT_TRUE(QFile::setPermissions(open.path(), QFileDevice::Permissions(0x7777)));
        const QString name = CCalcInstance::ServerName();
        if (name.startsWith(open.path())) {
            const QFileInfo folder(open.path());
            EXPECT_EQ(folder.permissions() & (QFile::WriteGroup | QFile::WriteOther), 0) << "made private first";
        }
    }
    if (getuid() != 0)
        GTEST_SKIP() << "giving a folder to another user needs root";
    RuntimeFolder foreign;
    ASSERT_EQ(::chown(QFile::encodeName(foreign.path()).constData(), 65534, 65534), 0);
    EXPECT_FALSE(CCalcInstance::ServerName().startsWith(foreign.path()));
}

TEST(InstanceRequests, MalformedRequestsAreDroppedAndTheInstanceServesOn)
{
    RuntimeFolder runtime;
    CCalcInstance primary;
    ASSERT_EQ(primary.claim(QString()), CCalcInstance::Claim::Primary);
    int opened = 0;
    QObject::connect(&primary, &CCalcInstance::openRequested, [&opened] { ++opened; });

    const QByteArray junk[] = {QByteArray("garbage that is no request"), QByteArray(70000, 'x'),
                               QByteArray("\0\0\0\x08\0o\0p\0e\0n", 12)};
    for (const QByteArray& bytes : junk) {
        QLocalSocket socket;
        socket.connectToServer(CCalcInstance::ServerName());
        ASSERT_TRUE(socket.waitForConnected(2000));
        socket.write(bytes);
        socket.waitForBytesWritten(2000);
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    EXPECT_EQ(opened, 0);

    // A relative path is no request either; a proper one still works.
    CCalcInstance later;
    bool raised = false;
    QObject::connect(&primary, &CCalcInstance::raiseRequested, [&raised] { raised = true; });
    // The hand-over waits for the answer, which this process gives when it
    // runs its events: ask from a thread of its own.
    std::atomic<int> claimed{-1};
    std::thread asking([&later, &claimed] { claimed = static_cast<int>(later.claim(QString())); });
    QDeadlineTimer deadline(10000);
    while (claimed < 0 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    asking.join();
    EXPECT_EQ(claimed, static_cast<int>(CCalcInstance::Claim::HandedOver));
    EXPECT_TRUE(raised);
}

}  // namespace
