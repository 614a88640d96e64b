// The keypad on the offscreen platform: building it with its first paint
// (its share of the program's start-up), painting it in each style, and a
// caption refresh with and without a new layout. Settings go to a
// temporary directory.
#include "desktop/services/CCalcSettingsNotifier.h"
#include "core/settings/CalcSettings.h"
#include "desktop/ui/keypad/CCalcKeyPad.h"

#include <QApplication>
#include <QPixmap>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Builds the panel (buttons, font, colours, layout) and paints all 72
// buttons once; taking it apart again is not counted.
void BM_KeypadBuildAndFirstPaint(benchmark::State& state)
{
    for (auto _ : state) {
        auto keypad = std::make_unique<CCalcKeyPad>();
        const QPixmap painted = keypad->grab();
        benchmark::DoNotOptimize(painted.cacheKey());
        state.PauseTiming();
        keypad.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_KeypadBuildAndFirstPaint)->Unit(benchmark::kMillisecond);

// One paint of the whole panel in a style (0 2000, 1 Vossek, 2 XP, 3 Vista).
void BM_KeypadPaint(benchmark::State& state)
{
    CCalcKeyPad keypad;
    keypad.setStoredStyle(static_cast<Keypad::Style>(state.range(0)));
    for (auto _ : state) {
        const QPixmap painted = keypad.grab();
        benchmark::DoNotOptimize(painted.cacheKey());
    }
}
BENCHMARK(BM_KeypadPaint)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// A notice after one preference field changed, every time: NotationCase
// relabels the 32 function buttons and lays the panel out again (lower and
// upper case in turn), LogPopup changes nothing the captions show.
void BM_CaptionRefresh(benchmark::State& state, std::uint32_t Tevra::CCalcSettings::*field)
{
    Tevra::CCalcSettings record;
    record.Notation = 1;
    CCalcSettingsNotifier notifier(record);
    CCalcKeyPad keypad;
    keypad.followSettings(notifier);
    for (auto _ : state) {
        record.*field ^= 1;
        notifier.announce();
    }
}
BENCHMARK_CAPTURE(BM_CaptionRefresh, WithRelayout, &Tevra::CCalcSettings::NotationCase)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_CaptionRefresh, WithoutChange, &Tevra::CCalcSettings::LogPopup)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settingsDir;
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
