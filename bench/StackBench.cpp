// The stack a statement takes per level of nesting, for every construct that
// nests: the figure behind the engine's nesting guard and the stack size it
// asks for. Each statement runs on a thread whose stack is painted with a
// pattern beforehand; the deepest byte that lost the pattern is the stack the
// run used. The counter bytes_per_level is the growth from half the guard's
// depth to the full depth, per level the guard counts.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include <benchmark/benchmark.h>
#include <pthread.h>
#include <sys/mman.h>

#include "core/engine/Engine.h"

namespace {

constexpr unsigned char Paint = 0xA5;
constexpr std::size_t PaintedStackSize = 512u << 20;

struct Run {
    std::u16string Text;
    bool Ok = false;
};

void* RunOnThread(void* argument)
{
    auto* run = static_cast<Run*>(argument);
    int caret = -1;
    run->Ok = NCalculatorText::ExecuteText(run->Text, caret);
    return nullptr;
}

// Bytes of stack a run of text takes, or 0 when the thread could not start.
std::size_t StackUsedBy(const std::u16string& text, bool& ok)
{
    void* stack =
        mmap(nullptr, PaintedStackSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (stack == MAP_FAILED)
        return 0;
    auto* bytes = static_cast<unsigned char*>(stack);
    std::memset(bytes, Paint, PaintedStackSize);
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstack(&attributes, stack, PaintedStackSize);
    Run run{text};
    pthread_t thread;
    std::size_t used = 0;
    if (pthread_create(&thread, &attributes, RunOnThread, &run) == 0) {
        pthread_join(thread, nullptr);
        const auto* touched = std::find_if(bytes, bytes + PaintedStackSize, [](unsigned char b) { return b != Paint; });
        used = static_cast<std::size_t>(bytes + PaintedStackSize - touched);
    }
    pthread_attr_destroy(&attributes);
    munmap(stack, PaintedStackSize);
    ok = run.Ok;
    return used;
}

std::u16string Nested(std::u16string_view open, std::u16string_view core, std::u16string_view close, std::size_t depth)
{
    std::u16string text;
    for (std::size_t i = 0; i < depth; ++i)
        text += open;
    text += core;
    for (std::size_t i = 0; i < depth; ++i)
        text += close;
    return text;
}

// One construct that nests: its opening and closing text per level, the
// innermost text and the guard levels one nesting takes.
struct Construct {
    const char* Name;
    std::u16string_view Open;
    std::u16string_view Core;
    std::u16string_view Close;
    int GuardLevels;
};

constexpr Construct Constructs[] = {
    {"function", u"sin(", u"0", u")", 1},
    {"square_root", u"sqrt(", u"1", u")", 1},
    {"gamma", u"gamma(", u"1", u")", 1},
    {"absolute_value", u"abs(", u"1", u")", 1},
    {"negation", u"-(", u"1", u")", 1},
    {"sum_in_brackets", u"1+(", u"1", u")", 1},
    {"product_in_brackets", u"1*(", u"1", u")", 1},
    {"power_in_brackets", u"1^(", u"1", u")", 1},
    {"factorial_of_brackets", u"(", u"1", u")!", 1},
    {"series", u"sum(i,1,1,", u"i", u")", 2},
    {"bessel", u"j(0,", u"0", u")", 2},
    {"store_in_brackets", u"(", u"1", u"->mem[a])", 1},
};

void StackPerNestingLevel(benchmark::State& state)
{
    const Construct& construct = Constructs[state.range(0)];
    state.SetLabel(construct.Name);
    const std::size_t full = static_cast<std::size_t>(NCalculatorText::MaxNestingDepth / construct.GuardLevels) - 2;
    const std::size_t half = full / 2;
    std::size_t deep = 0;
    std::size_t shallow = 0;
    bool ok = false;
    for (auto _ : state) {
        bool shallowOk = false;
        shallow = StackUsedBy(Nested(construct.Open, construct.Core, construct.Close, half), shallowOk);
        deep = StackUsedBy(Nested(construct.Open, construct.Core, construct.Close, full), ok);
        ok = ok && shallowOk;
    }
    if (!ok) {
        state.SkipWithError("the nested statement does not calculate");
        return;
    }
    state.counters["stack_bytes"] = static_cast<double>(deep);
    state.counters["bytes_per_level"] =
        static_cast<double>(deep - shallow) / static_cast<double>((full - half) * construct.GuardLevels);
}
BENCHMARK(StackPerNestingLevel)->DenseRange(0, std::size(Constructs) - 1)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
