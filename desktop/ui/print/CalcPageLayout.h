// The layout of one printed page: where the header and footer items go and
// which of them fit, and the rectangle left for the body text. A pure
// function of the page's geometry, the service font's measures and the page's
// facts, so that every fall-back rule can be checked without a printer; the
// painting code only draws what it returns.
#pragma once

#include "desktop/ui/print/CalcPrintSettings.h"

#include <QDateTime>
#include <QMargins>
#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// The page as the printer has it, in device pixels. Coordinates of the layout
// start at the top-left corner of the printable area.
struct CalcPageGeometry {
    QSize Printable;       // the printable area
    QMargins Unprintable;  // the border the printer cannot print on, each side
    int DpiX = 0;
    int DpiY = 0;
};

// Measures of the font the header and footer are written in, on the printer.
struct CalcServiceMetrics {
    std::function<int(const QString&)> Width;  // advance width of a text
    int Height = 0;                            // height of a line of text
    int CharacterHeight = 0;                   // the font's size in pixels (the icon's height)
};

// What one page shows besides the body.
struct CalcPageFacts {
    std::uint32_t Items = 0;
    std::int64_t MarginLeft = 0;  // margins in 0.0001 mm
    std::int64_t MarginTop = 0;
    std::int64_t MarginRight = 0;
    std::int64_t MarginBottom = 0;
    QString Path;  // the document's path; empty for an untitled document
    QDateTime Now;
    int Page = 1;       // this page, from 1
    int PageCount = 0;  // the N of "n of N"
    bool CanStretchBitmaps = true;
};

CalcPageFacts PageFactsOf(const CalcPrintSettings& settings);

// A text placed on the page: its top-left corner and its measured size.
struct CalcPlacedText {
    QString Text;
    QRect Box;
};

struct CalcPageLayout {
    // False when the margins leave no printable area: the page prints nothing.
    bool Prints = false;
    QRect Drawing;  // the printable area reduced by the margins
    QRect Body;     // where the body text goes; may be empty
    std::optional<QRect> Icon;
    std::optional<CalcPlacedText> FileInfo;
    std::optional<CalcPlacedText> DateTime;
    std::optional<CalcPlacedText> PageNumber;
    int HeaderHeight = 0;
    int FooterHeight = 0;
};

// A margin in device pixels: margin × dots per inch ÷ 254000, rounded.
int MarginPixels(std::int64_t margin, int dpi);

// The current time as the footer shows it: "%H:%M", "%#d %b %Y" (day
// without a leading zero, English month abbreviation, four-digit year).
QString FooterTime(const QDateTime& now);
QString FooterDate(const QDateTime& now);

// The file-info texts to try in turn, longest first.
std::vector<QString> FileInfoCandidates(const QString& path);

CalcPageLayout LayOutPage(const CalcPageGeometry& page, const CalcServiceMetrics& font, const CalcPageFacts& facts);
