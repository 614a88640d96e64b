// The printer chosen for printing, kept between runs in the settings group
// "Print" as two blocks: the names block (driver, device and output names and
// a default-printer flag) and the 220-byte mode block of page settings.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class QPrinter;
class QPrinterInfo;
class QSettings;

// The names of a printer. Device is the print queue's name, Driver the print
// system's name for its kind (make and model), Output where it prints.
struct CalcPrinterNames {
    QString Driver;
    QString Device;
    QString Output;
    bool IsDefault = false;

    bool operator==(const CalcPrinterNames&) const = default;
};

// The names block: four 16-bit little-endian words (the offsets of the driver,
// device and output names in UTF-16 code units from the block's start, then
// the default flag), followed by the three names in that order, each ending in
// a zero code unit.
QByteArray NamesBlock(const CalcPrinterNames& names);
// Its size in bytes: 2 × the three names' lengths + 14.
qsizetype NamesBlockSize(const CalcPrinterNames& names);
// The names a block holds; nothing for a block whose offsets or terminators
// are damaged.
std::optional<CalcPrinterNames> ReadNamesBlock(QByteArrayView block);

// The page settings of the mode block, in the classic 220-byte device-mode
// layout (little-endian): the device name, a field mask saying which settings
// it holds, and the settings.
namespace CalcPrinterModeFields {
inline constexpr std::uint32_t Orientation = 0x1;
inline constexpr std::uint32_t PaperSize = 0x2;
inline constexpr std::uint32_t PaperLength = 0x4;
inline constexpr std::uint32_t PaperWidth = 0x8;
inline constexpr std::uint32_t Copies = 0x100;
inline constexpr std::uint32_t PrintQuality = 0x400;
inline constexpr std::uint32_t Color = 0x800;
inline constexpr std::uint32_t Duplex = 0x1000;
inline constexpr std::uint32_t YResolution = 0x2000;
inline constexpr std::uint32_t Collate = 0x8000;
inline constexpr std::uint32_t FormName = 0x10000;
}  // namespace CalcPrinterModeFields

struct CalcPrinterMode {
    QString Device;            // at most 31 characters are kept
    std::uint32_t Fields = 0;  // CalcPrinterModeFields
    int Orientation = 1;       // 1 portrait, 2 landscape
    int PaperSize = 0;         // the paper's size id (9 A4, 1 Letter ...); 0 for a custom size
    int PaperLength = 0;       // in 0.1 mm
    int PaperWidth = 0;
    int Copies = 1;
    int PrintQuality = 0;  // dots per inch
    int Color = 2;         // 1 monochrome, 2 colour
    int Duplex = 1;        // 1 one-sided, 2 long edge, 3 short edge
    int YResolution = 0;
    int Collate = 0;
    QString FormName;  // the paper's name; at most 31 characters are kept

    bool operator==(const CalcPrinterMode&) const = default;
};

inline constexpr qsizetype ModeBlockSize = 220;

QByteArray ModeBlock(const CalcPrinterMode& mode);
// The settings of a block of exactly 220 bytes; nothing for any other size.
std::optional<CalcPrinterMode> ReadModeBlock(QByteArrayView block);

// The names of a print queue as the print system reports them: Driver is its
// make and model (else "CUPS"), Output its location (else its name).
CalcPrinterNames NamesOf(const QPrinterInfo& printer);
// The page settings of printer, and printer set to those of mode.
CalcPrinterMode ModeOf(const QPrinter& printer);
void ApplyMode(const CalcPrinterMode& mode, QPrinter& printer);

class CalcPrinterSelection final {
public:
    // Whether a print queue of that name exists; the print system's own list
    // unless a test answers.
    using QueueExists = std::function<bool(const QString& name)>;

    CalcPrinterSelection();
    explicit CalcPrinterSelection(QueueExists exists);

    bool hasNames() const { return !names_.isEmpty(); }
    bool hasMode() const { return !mode_.isEmpty(); }
    const QByteArray& namesBlock() const { return names_; }
    const QByteArray& modeBlock() const { return mode_; }
    void clear();

    // Reads Device, Driver, Output, Default and Mode from the group "Print",
    // only while no selection exists. The names block is made only when all
    // three names are there; a Mode of exactly 220 bytes is taken, its copy
    // count set to 1 when it holds one.
    void load(QSettings& settings);
    // Writes both blocks back, only when both exist.
    void save(QSettings& settings) const;

    // Points printer at the selection: its queue and its page settings. A
    // stored queue that no longer exists, or page settings of another
    // device, drop the selection; printer then keeps the default printer.
    // False when the selection was dropped.
    bool applyTo(QPrinter& printer);
    // Takes the queue and page settings of printer after the user chose them
    // (nothing for printing to a file).
    void takeFrom(const QPrinter& printer);

private:
    QueueExists exists_;
    QByteArray names_;
    QByteArray mode_;
};
