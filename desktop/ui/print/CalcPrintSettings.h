// The print settings: margins, the header and footer items and the two print
// fonts (the text font for the body, the service font for header and footer).
// One record for the program, read at start-up from the settings group
// "Print" and written back at exit.
#pragma once

#include <QString>

#include <cstdint>

class QSettings;

// A font as the settings keep it: face, size in points, weight (400 normal,
// 700 bold) and italic.
struct CalcPrintFont {
    QString Face;
    int Size = 0;
    int Weight = 400;
    bool Italic = false;

    bool operator==(const CalcPrintFont&) const = default;
};

// The items of the header and footer, one bit field.
namespace CalcPrintItems {

inline constexpr std::uint32_t FileInfo = 1;  // in the header
inline constexpr std::uint32_t Time = 2;      // in the footer
inline constexpr std::uint32_t Date = 4;      // in the footer
inline constexpr std::uint32_t Number = 8;    // page number

enum class NumberFormat : std::uint32_t { Plain = 0, Dashed = 1, OfCount = 2 };  // "n", "- n -", "n of N"
enum class NumberPosition : std::uint32_t { HeaderCenter = 0, HeaderRight = 1, FooterCenter = 2, FooterRight = 3 };

// The format and position kept in items; a value beyond the last one counts
// as the last one.
NumberFormat FormatOf(std::uint32_t items);
NumberPosition PositionOf(std::uint32_t items);
bool NumberInHeader(std::uint32_t items);
// The page has a header when file info is on, or the page number is on in the
// header; a footer when date or time is on, or the page number is on in the
// footer.
bool HasHeader(std::uint32_t items);
bool HasFooter(std::uint32_t items);

// Items made of the four check boxes and the two choices; each choice keeps
// to its own bits.
std::uint32_t Compose(bool fileInfo, bool time, bool date, bool number, NumberFormat format, NumberPosition position);

}  // namespace CalcPrintItems

struct CalcPrintSettings {
    // Margins in units of 0.0001 mm (1/254000 inch).
    std::int64_t MarginLeft = 250000;
    std::int64_t MarginTop = 150000;
    std::int64_t MarginRight = 150000;
    std::int64_t MarginBottom = 150000;
    std::uint32_t Items = 431;  // file info, time, date, page number "n of N" at the footer's right
    CalcPrintFont TextFont = DefaultTextFont();
    CalcPrintFont ServiceFont = DefaultServiceFont();

    static CalcPrintFont DefaultTextFont() { return {QStringLiteral("Courier New"), 12, 400, false}; }
    static CalcPrintFont DefaultServiceFont() { return {QStringLiteral("Times New Roman"), 10, 400, true}; }

    bool operator==(const CalcPrintSettings&) const = default;
};

// "Times New Roman 10 pt, italic": face and size, then ", bold" for a weight
// above 400 and ", italic".
QString DescribeFont(const CalcPrintFont& font);

// Reads the record from the group "Print" of settings; every value that is
// missing, not a number or out of range keeps its default, and a stored italic
// flag above 1 counts as 1.
CalcPrintSettings LoadPrintSettings(QSettings& settings);
void SavePrintSettings(const CalcPrintSettings& record, QSettings& settings);
