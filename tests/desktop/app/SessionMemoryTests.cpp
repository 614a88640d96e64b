// The memory kept between sessions, through the program's own start and
// exit: kept and brought back when the user asks for it, left alone when not,
// and a kept memory that cannot be brought back set aside and reported.
#include "support/FrameSupport.h"

#include "core/engine/EngineState.h"
#include "core/memory/MemoryMap.h"
#include "desktop/app/CCalcApp.h"
#include "desktop/document/CCalcDoc.h"
#include "desktop/document/CCalcRecovery.h"
#include "desktop/document/CalcSessionMemory.h"
#include "desktop/frame/CCalcMainFrame.h"
#include "desktop/ui/CCalcCmdReceiver.h"
#include "desktop/ui/editor/CCalcView.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

#include <sys/stat.h>

#include <string>

namespace {

using NCalculatorText::State;

class SessionMemory : public FreshProgramTest {
protected:
    void SetUp() override
    {
        FreshProgramTest::SetUp();
        clearKept();
    }
    void TearDown() override
    {
        clearKept();
        FreshProgramTest::TearDown();
    }

    static QDir stateFolder() { return QDir(CCalcRecovery::Directory()); }
    static QString keptPath() { return stateFolder().filePath(CalcSessionMemory::FileName); }
    static QStringList setAside()
    {
        return stateFolder().entryList({CalcSessionMemory::SetAsidePrefix + QStringLiteral("*")},
                                       QDir::Files | QDir::System);
    }
    static void clearKept()
    {
        QFile::remove(keptPath());
        for (const QString& name : setAside())
            QFile::remove(stateFolder().filePath(name));
    }
    static void keepMemory(bool on)
    {
        QSettings store = ProgramStore();
        store.setValue(QStringLiteral("Preferences/KeepMemory"), on ? 1 : 0);
        store.sync();
    }
    static void plant(const QByteArray& bytes)
    {
        ASSERT_TRUE(stateFolder().mkpath(QStringLiteral(".")));
        QFile file(keptPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    static QByteArray read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // UTF-16LE bytes after FF FE, as the program writes its files.
    static QByteArray Utf16(const QString& text)
    {
        QByteArray bytes("\xFF\xFE");
        for (const QChar c : text) {
            bytes.append(static_cast<char>(c.unicode() & 0xFF));
            bytes.append(static_cast<char>(c.unicode() >> 8));
        }
        return bytes;
    }

    // One run of the program: the text calculated as a whole, then the
    // window closed and the program ended as the user ends it.
    void runSession(const QString& text)
    {
        CCalcApp app;
        ASSERT_TRUE(app.start({}));
        if (!text.isEmpty()) {
            app.frame()->view()->loadText(text);
            app.frame()->document()->Command(CmdCalculateAll);
            ASSERT_TRUE(CalculationApplied(*app.frame()));
            app.frame()->view()->document()->setModified(false);
        }
        app.frame()->close();
        app.shutdown();
    }

    static double cell(std::u16string_view name)
    {
        const Tevra::MemoryCell* found = State().MemoryMap.Find(name);
        return found != nullptr ? found->Value : -12345.0;
    }
};

TEST_F(SessionMemory, CellsAndTheLastResultComeBackAtTheNextStart)
{
    keepMemory(true);
    runSession("0.1->mem[x]; 1e300*3->mem[big]; -7->mem[10]; 2/3");
    ASSERT_TRUE(QFileInfo::exists(keptPath()));
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(keptPath()).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u) << "the kept memory is the user's alone";

    NCalculatorText::ResetProcessState();
    CCalcApp app;
    ASSERT_TRUE(app.start({}));
    EXPECT_EQ(State().MemoryMap.Count(), 3u);
    EXPECT_EQ(cell(u"x"), 0.1);
    EXPECT_EQ(cell(u"big"), 3e300);
    EXPECT_EQ(cell(u"10"), -7);
    EXPECT_EQ(State().LastResult, 2.0 / 3.0);
    EXPECT_EQ(app.frame()->findChild<QMessageBox*>(QStringLiteral("SessionMemoryProblem")), nullptr);
    // The cells are there before any file: a calculation reads them.
    app.frame()->view()->loadText("mem[x]*10+rslt*3");
    app.frame()->document()->Command(CmdCalculateAll);
    ASSERT_TRUE(CalculationApplied(*app.frame()));
    EXPECT_EQ(app.frame()->view()->text(), "mem[x]*10+rslt*3=3");
    app.frame()->view()->document()->setModified(false);
    app.frame()->close();
}

TEST_F(SessionMemory, EveryExitWritesTheMemoryAsItThenIs)
{
    keepMemory(true);
    runSession("5->mem[a]");
    runSession("");  // a session that only starts and ends keeps what it found
    NCalculatorText::ResetProcessState();
    runSession("mem[a]+1->mem[b]");
    EXPECT_EQ(read(keptPath()), Utf16("5->Mem[a];\r\n6->Mem[b];\r\n6;\r\n"));
}

TEST_F(SessionMemory, WithTheSwitchOffNothingIsWrittenOrRead)
{
    keepMemory(false);
    runSession("5->mem[a]");
    EXPECT_FALSE(QFileInfo::exists(keptPath()));

    // A file kept while the switch was on stays as it is, unread.
    const QByteArray kept = Utf16("9->Mem[old];\r\n");
    plant(kept);
    NCalculatorText::ResetProcessState();
    CCalcApp app;
    ASSERT_TRUE(app.start({}));
    EXPECT_EQ(State().MemoryMap.Count(), 0u);
    State().MemoryMap.GetOrCreate(u"new") = 1;
    app.frame()->close();
    app.shutdown();
    EXPECT_EQ(read(keptPath()), kept);
}

TEST_F(SessionMemory, AKeptMemoryThatCannotBeBroughtBackIsSetAsideAndReported)
{
    struct Row {
        const char* name;
        QByteArray bytes;
        const char* cause;
    };
    const Row rows[] = {
        {"a statement that fails", Utf16("5->Mem[a];\r\n6->Mem[;\r\n"), "Syntax error"},
        {"no bytes", QByteArray(), "Cannot read the file"},
        {"text that only warns", Utf16("not a memory;"), "Uninitialized index used"},
        {"larger than a kept memory can be",
         QByteArray(static_cast<qsizetype>(CalcSessionMemory::LargestFile) + 1, ' '), "larger than 8 MB"},
        {"a calculation too long for a memory", Utf16("1->Mem[a];\r\nsum(i,1,1e15,i)->Mem[b];\r\n"),
         "calculates more than a memory holds"},
    };
    keepMemory(true);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        clearKept();
        plant(row.bytes);
        NCalculatorText::ResetProcessState();
        CCalcApp app;
        ASSERT_TRUE(app.start({})) << "the start goes on";
        EXPECT_EQ(State().MemoryMap.Count(), 0u) << "the memory starts empty";
        EXPECT_EQ(State().LastResult, 0.0);
        EXPECT_FALSE(QFileInfo::exists(keptPath()));
        const QStringList aside = setAside();
        ASSERT_EQ(aside.size(), 1);
        EXPECT_TRUE(aside.front().endsWith(QStringLiteral(".vcm")));
        EXPECT_EQ(read(stateFolder().filePath(aside.front())), row.bytes) << "set aside as it was";
        const auto* box = app.frame()->findChild<QMessageBox*>(QStringLiteral("SessionMemoryProblem"));
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->text().contains(QString::fromUtf8(row.cause))) << box->text().toStdString();
        EXPECT_TRUE(box->text().contains(aside.front())) << box->text().toStdString();
        app.frame()->close();
        app.shutdown();
        // The empty memory of this session is kept in its place.
        EXPECT_EQ(read(keptPath()), Utf16("0;\r\n"));
    }
}

TEST_F(SessionMemory, ASetAsideNameIsNeverTakenTwice)
{
    keepMemory(true);
    for (int start = 0; start < 3; ++start) {
        plant(Utf16("not a memory;"));
        NCalculatorText::ResetProcessState();
        CCalcApp app;
        ASSERT_TRUE(app.start({}));
        app.frame()->close();
    }
    EXPECT_EQ(setAside().size(), 3);
}

TEST_F(SessionMemory, ALinkAtTheKeptNameIsNeitherFollowedNorWrittenThrough)
{
    keepMemory(true);
    ASSERT_TRUE(stateFolder().mkpath(QStringLiteral(".")));
    const QString target = stateFolder().filePath(QStringLiteral("elsewhere.vcm"));
    const QByteArray planted = Utf16("1->Mem[planted];\r\n");
    {
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(planted);
    }
    ASSERT_TRUE(QFile::link(target, keptPath()));
    runSession("2->mem[own]");
    EXPECT_EQ(read(target), planted) << "the link's target is untouched";
    EXPECT_FALSE(QFileInfo(keptPath()).isSymLink());
    EXPECT_EQ(read(keptPath()), Utf16("2->Mem[own];\r\n2;\r\n"));
    EXPECT_EQ(setAside().size(), 1) << "the link itself was set aside";
    QFile::remove(target);
}

}  // namespace
