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
#include <QDir>
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

// What a start that hands over waits for an answer in these tests: a window
// that has just started answers within a second on an idle machine, but may
// not on a busy one, and a wait that long only guards against a hang.
constexpr int PatientAnswerMs = 60000;

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
// which runs until the second start has ended and its connection has gone
// (a minute at most, against a hang).
class WaitingPrompts final : public FakePrompts {
public:
    explicit WaitingPrompts(QProcess& second) : second_(second) {}
    SaveChoice askSaveChanges(const QString& name) override
    {
        QEventLoop dialog;
        QObject::connect(&second_, &QProcess::finished, &dialog, &QEventLoop::quit);
        QTimer::singleShot(60000, &dialog, &QEventLoop::quit);
        if (second_.state() != QProcess::NotRunning)
            dialog.exec();
        return FakePrompts::askSaveChanges(name);
    }

private:
    QProcess& second_;
};

TEST_F(SecondStart, AQuestionOfTheRunningWindowOutlastsTheConnection)
{
    startPrimary();
    WaitingPrompts waiting(process);
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
    later.setAnswerTimeout(PatientAnswerMs);
    EXPECT_EQ(later.claim(QString()), CCalcInstance::Claim::HandedOver);
    EXPECT_EQ(process.state(), QProcess::Running);
}

// Reads the second start's standard error until it holds text or the
// process ends; what it said.
QByteArray ReadErrorUntil(QProcess& process, const QByteArray& text)
{
    process.setReadChannel(QProcess::StandardError);
    QByteArray said;
    QDeadlineTimer deadline(20000);
    while (!said.contains(text) && !deadline.hasExpired() && process.state() == QProcess::Running) {
        process.waitForReadyRead(100);
        said += process.readAllStandardError();
    }
    return said + process.readAllStandardError();
}

TEST_F(SecondStart, AListenerThatNeverAnswersIsStaleAndReplaced)
{
    // Listens, but this process answers nothing while the second start waits.
    QLocalServer silent;
    QLocalServer::removeServer(CCalcInstance::ServerName());
    ASSERT_TRUE(silent.listen(CCalcInstance::ServerName()));
    const QString path = calculationFile(QStringLiteral("alone.vcl"), QByteArray("5\0", 2));
    startSecond({path});
    const QByteArray said = ReadErrorUntil(process, "did not answer within a second");
    EXPECT_TRUE(said.contains("did not answer within a second")) << said.toStdString();
    EXPECT_EQ(process.state(), QProcess::Running);
    // It listens in the silent one's place: a later start is handed to it.
    CCalcInstance later;
    later.setAnswerTimeout(PatientAnswerMs);
    EXPECT_EQ(later.claim(QString()), CCalcInstance::Claim::HandedOver) << later.reason().toStdString();
}

TEST_F(SecondStart, WhatIsNoSocketOfOursIsLeftAloneAndTheStartSaysWhy)
{
    struct Row {
        const char* Label;
        const char* Said;
    };
    const Row rows[] = {{"folder", "is a folder, not the socket"}, {"file", "is a file, not the socket"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Label);
        const QString name = CCalcInstance::ServerName();
        QLocalServer::removeServer(name);
        if (QString::fromLatin1(row.Label) == QStringLiteral("folder")) {
            ASSERT_TRUE(QDir().mkdir(name));
        } else {
            QFile file(name);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("mine");
        }
        // In this process too: nothing to hand over to, nothing served.
        CCalcInstance here;
        EXPECT_EQ(here.claim(QString()), CCalcInstance::Claim::Alone);
        EXPECT_TRUE(here.reason().contains(QString::fromLatin1(row.Said))) << here.reason().toStdString();
        EXPECT_FALSE(here.isPrimary());

        startSecond({calculationFile(QStringLiteral("alone.vcl"), QByteArray("5\0", 2))});
        const QByteArray said = ReadErrorUntil(process, row.Said);
        EXPECT_TRUE(said.contains("starts without handing over")) << said.toStdString();
        EXPECT_TRUE(said.contains(row.Said)) << said.toStdString();
        EXPECT_FALSE(said.contains("does not answer")) << said.toStdString();
        EXPECT_EQ(process.state(), QProcess::Running);
        process.kill();
        process.waitForFinished(5000);
        // What stood there stands there still.
        const QFileInfo info(name);
        EXPECT_TRUE(info.exists());
        if (info.isDir())
            ASSERT_TRUE(QDir().rmdir(name));
        else
            ASSERT_TRUE(QFile::remove(name));
    }
}

// A store the program cannot save, or will not read, is said once and left
// as it is; the program runs on with its defaults.
TEST_F(SecondStart, ASettingsStoreThatCannotBeSavedIsSaidOnceAndLeftAlone)
{
    const QString store = secondConfig.filePath(QStringLiteral("Vossek/Calculator Tevra.conf"));
    struct Row {
        const char* Label;
        QByteArray Content;  // null for a folder
        const char* Cause;
    };
    const Row rows[] = {
        {"folder", QByteArray(), "is a folder"},
        {"larger than 1 MB", QByteArray(2 * 1024 * 1024, '#'), "is larger than 1 MB"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Label);
        QFile::remove(store);
        QDir().rmdir(store);
        if (row.Content.isNull()) {
            ASSERT_TRUE(QDir().mkpath(store));
        } else {
            ASSERT_TRUE(QDir().mkpath(QFileInfo(store).path()));
            QFile file(store);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(row.Content);
        }
        // A start of its own: nothing listens.
        QLocalServer::removeServer(CCalcInstance::ServerName());
        startSecond({});
        QByteArray said = ReadErrorUntil(process, row.Cause);
        const QByteArray expected = "Settings cannot be saved: " + QFile::encodeName(store) + " " + row.Cause;
        EXPECT_TRUE(said.contains(expected)) << said.toStdString();
        // The program answers another start, which finds it running.
        CCalcInstance later;
        later.setAnswerTimeout(PatientAnswerMs);
        EXPECT_EQ(later.claim(QString()), CCalcInstance::Claim::HandedOver) << later.reason().toStdString();
        said += process.readAllStandardError();
        EXPECT_EQ(said.count("Settings cannot be saved"), 1) << said.toStdString();
        process.kill();
        process.waitForFinished(5000);
        const QFileInfo info(store);
        if (row.Content.isNull()) {
            EXPECT_TRUE(info.isDir());
        } else {
            QFile file(store);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(file.readAll(), row.Content);
        }
    }
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
    later.setAnswerTimeout(PatientAnswerMs);
    bool raised = false;
    QObject::connect(&primary, &CCalcInstance::raiseRequested, [&raised] { raised = true; });
    // The hand-over waits for the answer, which this process gives when it
    // runs its events: ask from a thread of its own.
    std::atomic<int> claimed{-1};
    std::thread asking([&later, &claimed] { claimed = static_cast<int>(later.claim(QString())); });
    QDeadlineTimer deadline(2 * PatientAnswerMs);
    while (claimed < 0 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    asking.join();
    EXPECT_EQ(claimed, static_cast<int>(CCalcInstance::Claim::HandedOver));
    EXPECT_TRUE(raised);
}

}  // namespace
