// Printing a long calculation: begin printing (the body laid out at the body
// width in the print font, the pages counted for "n of N") and the whole job
// written as a PDF, for documents of growing size. The time per line must
// stay flat.
#include <QApplication>
#include <QDateTime>
#include <QPrinter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "desktop/ui/print/CalcPrintJob.h"
#include "desktop/ui/print/CalcPrintedPages.h"

namespace {

CalcPrintSource Source(std::size_t lines)
{
    const std::u16string text = TevraBench::GeneratedDocument(lines);
    QString editorText = QString::fromStdU16String(text);
    editorText.remove(u'\r');
    return CalcPrintSource{editorText, QStringLiteral("/home/user/bench.vcl")};
}

void PdfPrinter(QPrinter& printer, const QString& file)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(QPageSize::A4));
}

// Begins printing source over and over, on an A4 PDF printer.
void BeginPrinting(benchmark::State& state, const CalcPrintSource& source)
{
    QTemporaryDir directory;
    QPrinter printer(QPrinter::HighResolution);
    PdfPrinter(printer, directory.filePath(QStringLiteral("bench.pdf")));
    const CalcPrintSettings settings;
    int pages = 0;
    for (auto _ : state) {
        const CalcPrintedPages printed(settings, source, printer, QDateTime::currentDateTime());
        pages = printed.pageCount();
        benchmark::DoNotOptimize(pages);
    }
    state.counters["pages"] = pages;
}

void BM_BeginPrinting(benchmark::State& state)
{
    BeginPrinting(state, Source(static_cast<std::size_t>(state.range(0))));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BeginPrinting)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

// One line of a megabyte, as a pasted or generated text may have: laid out a
// stretch at a time.
void BM_BeginPrintingOneLongLine(benchmark::State& state)
{
    QString line;
    for (int i = 0; line.size() < state.range(0); ++i)
        line += QStringLiteral("%1*%1=%2; ").arg(i % 1000).arg((i % 1000) * (i % 1000));
    BeginPrinting(state, CalcPrintSource{line, QStringLiteral("/home/user/long.vcl")});
}
BENCHMARK(BM_BeginPrintingOneLongLine)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

void BM_PrintToPdf(benchmark::State& state)
{
    const CalcPrintSource source = Source(static_cast<std::size_t>(state.range(0)));
    QTemporaryDir directory;
    QPrinter printer(QPrinter::HighResolution);
    PdfPrinter(printer, directory.filePath(QStringLiteral("bench.pdf")));
    const CalcPrintSettings settings;
    for (auto _ : state) {
        const CalcPrintOutcome outcome =
            RunPrintJob(printer, settings, source, QStringLiteral("bench.vcl"), [](int) { return true; });
        if (outcome.Outcome != CalcPrintOutcome::Result::Printed)
            state.SkipWithError("the job did not print");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PrintToPdf)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
