// The document's runner and its memory commands on a bare editor, without a
// frame: what a run reads from the editor and puts back, the notices after
// it, and the memory and executed files it runs.
#include "support/DocFakePrompts.h"
#include "support/FrameSupport.h"
#include "support/Utf16Bytes.h"

#include "core/engine/EngineState.h"
#include "core/memory/MemoryMap.h"
#include "core/settings/CalcSettings.h"
#include "desktop/document/CCalcCalculation.h"
#include "desktop/document/CCalcMemoryCommands.h"
#include "desktop/document/CCalcRunner.h"
#include "desktop/ui/editor/CCalcView.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <string>

namespace {

// How long a test waits for something that happens within moments; only a
// fault makes it wait that long.
constexpr int PatienceMilliseconds = 10000;

const QByteArray Bom("\xFF\xFE", 2);

class Runner : public FreshProgramTest {
protected:
    void TearDown() override
    {
        runner.calculation()->cancel();
        runner.calculation()->waitForFinished(PatienceMilliseconds);
        FreshProgramTest::TearDown();
    }

    // Starts a run and waits until it is applied.
    bool finish()
    {
        return QTest::qWaitFor([this] { return !runner.isRunning(); }, PatienceMilliseconds);
    }

    QString file(const char* name, const QByteArray& bytes) const
    {
        const QString path = directory.filePath(QLatin1String(name));
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return path;
    }

    // Records the order of the notices after a run.
    void recordNotices()
    {
        QObject::connect(&runner, &CCalcRunner::resultChanged, [this] { notices.append("result"); });
        QObject::connect(&runner, &CCalcRunner::runReported, [this](const auto& statements) {
            notices.append(QStringLiteral("reported %1").arg(statements.size()));
        });
        QObject::connect(&runner, &CCalcRunner::memoryChanged, [this] { notices.append("memory"); });
        QObject::connect(&runner, &CCalcRunner::runningChanged,
                         [this](bool running) { notices.append(running ? "running" : "done"); });
    }

    QTemporaryDir directory;
    CCalcView view;
    CCalcRunner runner{&view};
    FakePrompts prompts;
    CCalcMemoryCommands memory{runner, &prompts};
    QStringList notices;
};

TEST_F(Runner, CalculateRunsTheStatementAtTheStartOfTheSelection)
{
    view.loadText(QStringLiteral("1+1; 2+2; 3->Mem[m]"));
    view.setSelection(5, 12);
    recordNotices();
    runner.calculate(false);
    ASSERT_TRUE(finish());
    EXPECT_EQ(view.text(), QStringLiteral("1+1; 2+2=4; 3->Mem[m]"));
    EXPECT_EQ(notices, (QStringList{"running", "result", "reported 0", "done"}));
    EXPECT_EQ(NCalculatorText::State().MemoryMap.Find(u"m"), nullptr);
}

TEST_F(Runner, CalculateAllNoticesTheStatementsAndTheMemory)
{
    view.loadText(QStringLiteral("3->Mem[m]; 1/0"));
    recordNotices();
    runner.calculate(true);
    ASSERT_TRUE(finish());
    ASSERT_NE(NCalculatorText::State().MemoryMap.Find(u"m"), nullptr);
    EXPECT_EQ(notices, (QStringList{"running", "result", "reported 1", "memory", "done"}));
    EXPECT_FALSE(NCalculatorText::State().MemoryMap.Changed) << "the flag is taken";
}

TEST_F(Runner, TheEditorTakesNoEditsWhileARunIsOn)
{
    view.loadText(QStringLiteral("sum(i,0e17,1e17,10,i)"));
    runner.calculate(true);
    ASSERT_TRUE(runner.isRunning());
    EXPECT_TRUE(view.isCalculating());
    // A second run waits for nothing: it does not start.
    runner.execute("1->Mem[x]");
    runner.calculation()->cancel();
    ASSERT_TRUE(finish());
    EXPECT_FALSE(view.isCalculating());
    EXPECT_EQ(NCalculatorText::State().MemoryMap.Find(u"x"), nullptr);
}

TEST_F(Runner, ExecuteLeavesTheEditorAndMarksNoStatement)
{
    view.loadText(QStringLiteral("my text"));
    recordNotices();
    runner.execute(std::string("2->Mem[a]"));
    ASSERT_TRUE(finish());
    EXPECT_EQ(view.text(), QStringLiteral("my text"));
    ASSERT_NE(NCalculatorText::State().MemoryMap.Find(u"a"), nullptr);
    EXPECT_EQ(NCalculatorText::State().MemoryMap.Find(u"a")->Value, 2.0);
    EXPECT_EQ(notices, (QStringList{"running", "result", "reported 0", "memory", "done"}));
}

TEST_F(Runner, LoadMemoryRunsTheChosenFile)
{
    prompts.openAnswers.push_back(file("cells.vcm", Bom + Utf16("4->Mem[d];\r\n")));
    memory.loadMemory();
    ASSERT_TRUE(finish());
    ASSERT_NE(NCalculatorText::State().MemoryMap.Find(u"d"), nullptr);
    EXPECT_EQ(NCalculatorText::State().MemoryMap.Find(u"d")->Value, 4.0);
    ASSERT_EQ(prompts.openRequests.size(), 1u);
    EXPECT_EQ(prompts.openRequests.front().Kind, CalcFileKind::Memory);
    EXPECT_TRUE(prompts.warnings.isEmpty());
}

// Whatever Save memory writes, Load memory reads back: a million cells make a
// file of about 36 MB.
TEST_F(Runner, AMillionCellsComeBackAsTheyWereSaved)
{
    constexpr int Cells = 1'000'000;
    for (int i = 0; i < Cells; ++i) {
        const std::u16string name = u"c" + QString::number(i).toStdU16String();
        NCalculatorText::State().MemoryMap.GetOrCreate(name) = i / 7.0;
    }
    const QString saved = directory.filePath(QStringLiteral("saved.vcm"));
    const QString again = directory.filePath(QStringLiteral("again.vcm"));
    prompts.saveAnswers = {saved, again};
    memory.saveMemory(true);
    ASSERT_GT(QFileInfo(saved).size(), 16 * 1024 * 1024);
    NCalculatorText::State().MemoryMap.FreeAll();

    prompts.openAnswers.push_back(saved);
    memory.loadMemory();
    // Generous: only a hang takes this long.
    ASSERT_TRUE(QTest::qWaitFor([this] { return !runner.isRunning(); }, 600'000));
    EXPECT_TRUE(prompts.warnings.isEmpty()) << prompts.warnings.join(' ').toStdString();
    EXPECT_EQ(NCalculatorText::State().MemoryMap.Count(), static_cast<std::size_t>(Cells));
    memory.saveMemory(true);
    QFile first(saved);
    QFile second(again);
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    ASSERT_TRUE(second.open(QIODevice::ReadOnly));
    EXPECT_TRUE(first.readAll() == second.readAll());
}

TEST_F(Runner, ACancelledDialogRunsNothing)
{
    QSignalSpy running(&runner, &CCalcRunner::runningChanged);
    memory.executeFile();
    memory.loadMemory();
    memory.saveMemory(true);
    EXPECT_EQ(running.count(), 0);
    EXPECT_TRUE(prompts.warnings.isEmpty());
    EXPECT_EQ(prompts.openRequests.size(), 2u);
    EXPECT_EQ(prompts.saveRequests.size(), 1u);
}

TEST_F(Runner, SaveMemoryWritesTheTickedCellsOrAll)
{
    NCalculatorText::State().MemoryMap.GetOrCreate(u"a") = 1;
    NCalculatorText::State().MemoryMap.GetOrCreate(u"b") = 2;
    NCalculatorText::State().MemoryMap.SetInclude(u"b", 1);
    const QString ticked = directory.filePath(QStringLiteral("ticked.vcm"));
    const QString all = directory.filePath(QStringLiteral("all.vcm"));
    prompts.saveAnswers = {ticked, all};
    memory.saveMemory(false);
    memory.saveMemory(true);
    QFile tickedFile(ticked);
    ASSERT_TRUE(tickedFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(tickedFile.readAll(), Bom + Utf16("2->Mem[b];\r\n"));
    QFile allFile(all);
    ASSERT_TRUE(allFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(allFile.readAll(), Bom + Utf16("1->Mem[a];\r\n2->Mem[b];\r\n"));
}

TEST_F(Runner, FreeAsksAsTheSettingsSayAndNotices)
{
    NCalculatorText::State().CalcSettings.FreeConfirmation = 1;
    NCalculatorText::State().MemoryMap.GetOrCreate(u"a") = 1;
    NCalculatorText::State().MemoryMap.Changed = false;
    QSignalSpy changed(&runner, &CCalcRunner::memoryChanged);
    prompts.confirmAnswer = false;
    memory.freeMemory();
    EXPECT_EQ(NCalculatorText::State().MemoryMap.Count(), 1u);
    EXPECT_EQ(changed.count(), 0);
    prompts.confirmAnswer = true;
    memory.freeMemory();
    EXPECT_EQ(NCalculatorText::State().MemoryMap.Count(), 0u);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(prompts.questions.size(), 2);
}

}  // namespace
