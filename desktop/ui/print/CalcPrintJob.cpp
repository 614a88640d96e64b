#include "desktop/ui/print/CalcPrintJob.h"

#include "desktop/ui/print/CalcPrintSpooler.h"

#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <algorithm>
#include <optional>

const QString CouldNotStartPrintJob = QStringLiteral("Could not start print job.");

namespace {

// The printer writes into a file of the job's own while the job runs; it goes
// back to the queue's own hand-over afterwards.
class SpoolFile final {
public:
    explicit SpoolFile(QPrinter& printer) : printer_(printer)
    {
        if (!directory_.isValid())
            return;
        // No ".pdf" ending: that would turn the printer into a PDF writer.
        path_ = directory_.filePath(QStringLiteral("job"));
        printer_.setOutputFileName(path_);
    }
    ~SpoolFile()
    {
        if (!path_.isEmpty())
            printer_.setOutputFileName(QString());
    }
    SpoolFile(const SpoolFile&) = delete;
    SpoolFile& operator=(const SpoolFile&) = delete;

    bool isValid() const { return !path_.isEmpty(); }
    const QString& path() const { return path_; }

private:
    QPrinter& printer_;
    QTemporaryDir directory_;
    QString path_;
};

}  // namespace

std::vector<int> PagesToPrint(const QPrinter& printer, int count)
{
    int from = 1;
    int to = count;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::clamp(printer.fromPage(), 1, count);
        to = std::clamp(std::max(printer.toPage(), printer.fromPage()), from, count);
    }
    std::vector<int> pages;
    for (int page = from; page <= to; ++page)
        pages.push_back(page);
    if (printer.pageOrder() == QPrinter::LastPageFirst)
        std::reverse(pages.begin(), pages.end());
    return pages;
}

CalcPrintOutcome RunPrintJob(QPrinter& printer, const CalcPrintSettings& settings, const CalcPrintSource& source,
                             const QString& title, const std::function<bool(int page)>& progress)
{
    CalcPrintOutcome outcome;
    printer.setDocName(title);
    const bool toQueue = printer.outputFormat() == QPrinter::NativeFormat;
    std::optional<SpoolFile> spool;
    if (toQueue) {
        if (printer.printerName().isEmpty()) {
            outcome.Outcome = CalcPrintOutcome::Result::CouldNotStart;
            outcome.Detail = QStringLiteral("No printer is chosen.");
            return outcome;
        }
        spool.emplace(printer);
        if (!spool->isValid()) {
            outcome.Outcome = CalcPrintOutcome::Result::CouldNotStart;
            outcome.Detail = QStringLiteral("No room for the job's temporary file.");
            return outcome;
        }
    }

    const CalcPrintedPages pages(settings, source, printer, QDateTime::currentDateTime());
    QPainter painter;
    if (!painter.begin(&printer)) {
        outcome.Outcome = CalcPrintOutcome::Result::CouldNotStart;
        return outcome;
    }
    bool cancelled = false;
    bool failed = false;
    for (const int page : PagesToPrint(printer, pages.pageCount())) {
        if (!progress(page)) {
            cancelled = true;
            break;
        }
        if (outcome.Pages > 0 && !printer.newPage()) {
            failed = true;
            break;
        }
        pages.paintPage(painter, page);
        ++outcome.Pages;
    }
    if (cancelled || failed) {
        printer.abort();
        painter.end();
        // A file printed to holds only a part of the job: it goes.
        if (!toQueue && !printer.outputFileName().isEmpty())
            QFile::remove(printer.outputFileName());
        outcome.Outcome = cancelled ? CalcPrintOutcome::Result::Cancelled : CalcPrintOutcome::Result::CouldNotStart;
        if (failed)
            outcome.Detail = QStringLiteral("A page could not be printed.");
        return outcome;
    }
    if (!painter.end()) {
        outcome.Outcome = CalcPrintOutcome::Result::CouldNotStart;
        return outcome;
    }
    if (toQueue) {
        const CalcSpoolResult handed = SubmitJob(printer.printerName(), spool->path(), title, JobOptionsOf(printer));
        if (handed.Job == 0) {
            outcome.Outcome = CalcPrintOutcome::Result::CouldNotStart;
            outcome.Detail = handed.Error;
        }
    }
    return outcome;
}
