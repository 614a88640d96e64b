// One print job's pages: made when printing begins (the two print fonts on
// the printer, the body lines, the page count), then asked to paint page
// after page. Printing, the preview and printing from the command line all
// paint through it, so they show the same pages.
#pragma once

#include "desktop/ui/print/CalcPageLayout.h"
#include "desktop/ui/print/CalcPrintBody.h"
#include "desktop/ui/print/CalcPrintSettings.h"

#include <QDateTime>
#include <QFont>
#include <QImage>
#include <QString>

#include <memory>

class QPainter;
class QPrinter;

// What a job prints: the text (the whole editor text, or its selection) and
// the document's path (empty for an untitled document).
struct CalcPrintSource {
    QString Text;
    QString Path;
};

// A print font on a device of dpi dots per inch: its size becomes a pixel
// height, size × dpi ÷ 72 rounded.
QFont PrintFontFor(const CalcPrintFont& font, int dpi, QFont::StyleHint hint);

// The geometry of the printer's page, in its device pixels: the printable
// area and the unprintable border around it.
CalcPageGeometry PageGeometryOf(const QPrinter& printer);

class CalcPrintedPages final {
public:
    CalcPrintedPages(const CalcPrintSettings& settings, CalcPrintSource source, QPrinter& printer,
                     const QDateTime& now);
    ~CalcPrintedPages();

    int pageCount() const { return static_cast<int>(pagination_.Pages.size()); }
    // False when the text did not fit: the margins or fonts leave no room
    // for a line, and the pages end where the room ran out.
    bool complete() const { return pagination_.Complete; }
    CalcPageLayout layoutOf(int page) const;
    CalcPageSpan linesOf(int page) const;
    const CalcPrintBody& body() const { return *body_; }

    // Paints page (from 1) with a painter active on the printer.
    void paintPage(QPainter& painter, int page) const;

private:
    CalcServiceMetrics metrics() const;
    CalcPageLayout layoutFor(int page, int count) const;
    CalcPagination paginate(int count) const;

    CalcPrintSettings settings_;
    CalcPrintSource source_;
    QPrinter& printer_;
    QDateTime now_;
    CalcPageGeometry geometry_;
    QFont textFont_;
    QFont serviceFont_;
    QImage icon_;
    std::unique_ptr<CalcPrintBody> body_;
    CalcPagination pagination_;
    int count_ = 0;  // the N of "n of N"
};
