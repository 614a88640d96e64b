// The memory window at 100,000 cells, on the offscreen platform: the rebuild
// after a calculation that reads one cell, sorting by each column, Invert,
// the sync before Save, and a calculate-at-caret in the program from the key
// press to the repainted list. Settings live in a temporary directory.
#include <QApplication>
#include <QEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <memory>
#include <string>

#include "desktop/services/CCalcSettingsNotifier.h"
#include "core/settings/CalcSettings.h"
#include "desktop/services/PreferencesStore.h"
#include "desktop/ui/CCalcCmdReceiver.h"
#include "desktop/document/CCalcDoc.h"
#include "core/engine/Engine.h"
#include "core/memory/MemoryMap.h"
#include "desktop/ui/editor/CCalcView.h"
#include "desktop/frame/CCalcMainFrame.h"
#include "desktop/frame/CalcBars.h"
#include "desktop/ui/memory/CCalcMemory.h"
#include "core/engine/EngineState.h"

namespace {

constexpr std::size_t CellCount = 100'000;

// 100,000 cells with scattered names and values, every seventh ticked.
void FillMemory()
{
    NCalculatorText::ResetProcessState();
    for (std::size_t i = 0; i < CellCount; ++i) {
        const std::size_t scattered = (i * 7919) % CellCount;
        const std::string digits = std::to_string(scattered);
        std::u16string name = u"cell";
        name.append(digits.begin(), digits.end());
        NCalculatorText::State().MemoryMap.GetOrCreate(name) = static_cast<double>(scattered) / 7.0 - 5000.0;
        NCalculatorText::State().MemoryMap.SetInclude(name, i % 7 == 0 ? 1 : 0);
    }
    NCalculatorText::State().MemoryMap.Changed = false;
}

// Counts the paint events of a widget.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget* watched) { watched->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Handles the posted events until the list has painted once more.
void WaitForPaint(PaintCounter& counter)
{
    const int before = counter.paints;
    for (int round = 0; round < 1000 && counter.paints == before; ++round)
        QCoreApplication::processEvents();
}

// A shown memory window over the filled memory.
struct ShownWindow {
    ShownWindow()
        : notifier(NCalculatorText::State().CalcSettings),
          memory(CCalcMemory::Links{[](const QString&) { return true; }, [](bool) {}, [] {}}, notifier)
    {
        memory.resize(480, 700);
        memory.show();
        QCoreApplication::processEvents();
        counter = std::make_unique<PaintCounter>(memory.list()->viewport());
    }
    CCalcSettingsNotifier notifier;
    CCalcMemory memory;
    std::unique_ptr<PaintCounter> counter;
};

// Bytes the program holds on its heap.
double HeapBytes()
{
    return static_cast<double>(mallinfo2().uordblks);
}

void MemoryWindowRebuild(benchmark::State& state)
{
    FillMemory();
    const double before = HeapBytes();
    ShownWindow window;
    const double after = HeapBytes();
    for (auto _ : state) {
        // What the engine leaves after reading one cell, and the notice.
        benchmark::DoNotOptimize(NCalculatorText::State().MemoryMap.Find(u"cell500"));
        NCalculatorText::State().MemoryMap.Changed = true;
        window.memory.Refresh();
        WaitForPaint(*window.counter);
    }
    state.counters["snapshot_model_kB"] = static_cast<double>(window.memory.model()->heapBytes()) / 1024.0;
    // The window's heap: the snapshot, the model and the list's own rows.
    state.counters["window_heap_kB"] = (after - before) / 1024.0;
}
BENCHMARK(MemoryWindowRebuild)->Unit(benchmark::kMillisecond);

void MemoryWindowSort(benchmark::State& state)
{
    FillMemory();
    ShownWindow window;
    const int column = static_cast<int>(state.range(0));
    for (auto _ : state) {
        // Each click flips the direction, so ascending and descending alternate.
        window.memory.sortByColumn(column);
        WaitForPaint(*window.counter);
    }
}
BENCHMARK(MemoryWindowSort)->ArgName("column")->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void MemoryWindowInvert(benchmark::State& state)
{
    FillMemory();
    ShownWindow window;
    window.memory.sortByColumn(CCalcMemorySnapshot::ValueColumn);
    for (auto _ : state) {
        window.memory.invertTicks();
        WaitForPaint(*window.counter);
    }
}
BENCHMARK(MemoryWindowInvert)->Unit(benchmark::kMillisecond);

// The worst rebuild: every tick flipped (Invert) and a new cell stored, so
// that the ticks go to the store by name before the list is read again.
void MemoryWindowRebuildAfterInvertAndNewCell(benchmark::State& state)
{
    FillMemory();
    ShownWindow window;
    std::size_t added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        window.memory.invertTicks();
        const std::string digits = std::to_string(added++);
        NCalculatorText::State().MemoryMap.GetOrCreate(u"new" + std::u16string(digits.begin(), digits.end())) = 1;
        NCalculatorText::State().MemoryMap.Changed = true;
        state.ResumeTiming();
        window.memory.Refresh();
        WaitForPaint(*window.counter);
    }
}
BENCHMARK(MemoryWindowRebuildAfterInvertAndNewCell)->Unit(benchmark::kMillisecond);

// The sync and push that come before Save writes the ticked cells, after an
// Invert changed every tick.
void MemoryWindowSyncBeforeSave(benchmark::State& state)
{
    FillMemory();
    ShownWindow window;
    for (auto _ : state) {
        state.PauseTiming();
        window.memory.invertTicks();
        state.ResumeTiming();
        benchmark::DoNotOptimize(window.memory.model()->includedCount());
        window.memory.model()->pushIncluded(NCalculatorText::State().MemoryMap);
    }
}
BENCHMARK(MemoryWindowSyncBeforeSave)->Unit(benchmark::kMillisecond);

// Ctrl+= in the program's editor on a statement that reads one cell, with
// the memory window visible: from the key press to the repainted list.
void CalculateAtCaretWithMemoryWindow(benchmark::State& state)
{
    FillMemory();
    CCalcMainFrame frame;
    frame.resize(1200, 800);
    frame.show();
    auto* memory = qobject_cast<CCalcMemory*>(frame.bar(CalcBars::Memory)->widget());
    QCoreApplication::processEvents();
    PaintCounter counter(memory->list()->viewport());
    frame.view()->loadText(QStringLiteral("Mem[cell500]*2"));
    frame.view()->setFocus();
    for (auto _ : state) {
        QTest::keyClick(frame.view(), Qt::Key_Equal, Qt::ControlModifier);
        WaitForPaint(counter);
    }
    if (counter.paints == 0)
        state.SkipWithError("the memory window never painted");
}
BENCHMARK(CalculateAtCaretWithMemoryWindow)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settingsDir;
    Tevra::KeepSettingsIn(settingsDir.path());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
