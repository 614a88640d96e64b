// One print job from start to end: begin printing (fonts, lines, page count),
// one pass per page of the chosen range, then the hand-over to the print
// system. The desktop's Print command and printing from the command line both
// run it; they differ only in how they show progress.
#pragma once

#include "desktop/ui/print/CalcPrintedPages.h"

#include <QString>

#include <functional>
#include <vector>

class QPrinter;

struct CalcPrintOutcome {
    enum class Result { Printed, Cancelled, CouldNotStart };
    Result Outcome = Result::Printed;
    QString Detail;  // the print system's reason, when it gave one
    int Pages = 0;   // pages painted
};

// "Could not start print job.": the print system or the output file refused
// the job.
extern const QString CouldNotStartPrintJob;

// The pages of the printer's chosen range, in the order they print: all
// pages, or from..to clamped to 1..count, last page first when the printer
// asks for that order.
std::vector<int> PagesToPrint(const QPrinter& printer, int count);

// Prints source on printer (a print queue, or a PDF file when the printer's
// output format says so) under title. Before each page, progress(page) is
// asked; false cancels the job after the current page.
CalcPrintOutcome RunPrintJob(QPrinter& printer, const CalcPrintSettings& settings, const CalcPrintSource& source,
                             const QString& title, const std::function<bool(int page)>& progress);
