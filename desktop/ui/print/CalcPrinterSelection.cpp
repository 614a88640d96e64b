#include "desktop/ui/print/CalcPrinterSelection.h"

#include "desktop/services/PreferencesStore.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSettings>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

const QString PrintGroup = QStringLiteral("Print");
const QString DeviceKey = QStringLiteral("Device");
const QString DriverKey = QStringLiteral("Driver");
const QString OutputKey = QStringLiteral("Output");
const QString DefaultKey = QStringLiteral("Default");
const QString ModeKey = QStringLiteral("Mode");

constexpr qsizetype NamesHeaderUnits = 4;

// Offsets in the mode block.
constexpr qsizetype DeviceNameAt = 0;
constexpr qsizetype NameUnits = 32;  // a name field: 32 UTF-16 code units, the last one zero
constexpr qsizetype LayoutVersionAt = 64;
constexpr qsizetype SizeAt = 68;
constexpr qsizetype FieldsAt = 72;
constexpr qsizetype OrientationAt = 76;
constexpr qsizetype PaperSizeAt = 78;
constexpr qsizetype PaperLengthAt = 80;
constexpr qsizetype PaperWidthAt = 82;
constexpr qsizetype CopiesAt = 86;
constexpr qsizetype PrintQualityAt = 90;
constexpr qsizetype ColorAt = 92;
constexpr qsizetype DuplexAt = 94;
constexpr qsizetype YResolutionAt = 96;
constexpr qsizetype CollateAt = 100;
constexpr qsizetype FormNameAt = 102;
constexpr std::uint16_t LayoutVersion = 0x0401;

// The 16-bit settings of the mode block: where each stands.
struct ShortField {
    qsizetype At;
    int CalcPrinterMode::*Field;
};

constexpr ShortField ShortFields[] = {
    {OrientationAt, &CalcPrinterMode::Orientation},
    {PaperSizeAt, &CalcPrinterMode::PaperSize},
    {PaperLengthAt, &CalcPrinterMode::PaperLength},
    {PaperWidthAt, &CalcPrinterMode::PaperWidth},
    {CopiesAt, &CalcPrinterMode::Copies},
    {PrintQualityAt, &CalcPrinterMode::PrintQuality},
    {ColorAt, &CalcPrinterMode::Color},
    {DuplexAt, &CalcPrinterMode::Duplex},
    {YResolutionAt, &CalcPrinterMode::YResolution},
    {CollateAt, &CalcPrinterMode::Collate},
};

constexpr int MaximumCopies = 999;

void Put16(QByteArray& block, qsizetype at, std::uint16_t value)
{
    block[at] = static_cast<char>(value & 0xFF);
    block[at + 1] = static_cast<char>(value >> 8);
}

void Put32(QByteArray& block, qsizetype at, std::uint32_t value)
{
    Put16(block, at, static_cast<std::uint16_t>(value & 0xFFFF));
    Put16(block, at + 2, static_cast<std::uint16_t>(value >> 16));
}

std::uint16_t Get16(QByteArrayView block, qsizetype at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(block[at]) |
                                      static_cast<unsigned char>(block[at + 1]) << 8);
}

std::uint32_t Get32(QByteArrayView block, qsizetype at)
{
    return Get16(block, at) | static_cast<std::uint32_t>(Get16(block, at + 2)) << 16;
}

// A signed 16-bit field.
int GetShort(QByteArrayView block, qsizetype at)
{
    return static_cast<std::int16_t>(Get16(block, at));
}

void PutShort(QByteArray& block, qsizetype at, int value)
{
    Put16(block, at, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::clamp(value, -32768, 32767))));
}

void PutName(QByteArray& block, qsizetype at, const QString& name)
{
    const QString kept = name.left(NameUnits - 1);
    for (qsizetype i = 0; i < kept.size(); ++i)
        Put16(block, at + 2 * i, kept[i].unicode());
}

QString GetName(QByteArrayView block, qsizetype at)
{
    QString name;
    for (qsizetype i = 0; i < NameUnits; ++i) {
        const std::uint16_t unit = Get16(block, at + 2 * i);
        if (unit == 0)
            break;
        name += QChar(unit);
    }
    return name;
}

// The zero-terminated string at offset (in code units) of a names block;
// nothing when it runs past the block.
std::optional<QString> StringAt(QByteArrayView block, qsizetype offset)
{
    const qsizetype units = block.size() / 2;
    if (offset < NamesHeaderUnits || offset >= units)
        return std::nullopt;
    QString text;
    for (qsizetype i = offset; i < units; ++i) {
        const std::uint16_t unit = Get16(block, 2 * i);
        if (unit == 0)
            return text;
        text += QChar(unit);
    }
    return std::nullopt;
}

bool QueueIsInstalled(const QString& name)
{
    return !name.isEmpty() && !QPrinterInfo::printerInfo(name).isNull();
}

QString StoredString(const QSettings& settings, const QString& key)
{
    const QVariant value = settings.value(key);
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

}  // namespace

QByteArray NamesBlock(const CalcPrinterNames& names)
{
    QByteArray block(NamesBlockSize(names), '\0');
    const std::array<const QString*, 3> strings{&names.Driver, &names.Device, &names.Output};
    qsizetype offset = NamesHeaderUnits;
    for (std::size_t i = 0; i < strings.size(); ++i) {
        Put16(block, 2 * static_cast<qsizetype>(i), static_cast<std::uint16_t>(offset));
        for (const QChar unit : *strings[i])
            Put16(block, 2 * offset++, unit.unicode());
        ++offset;  // the terminating zero
    }
    Put16(block, 6, names.IsDefault ? 1 : 0);
    return block;
}

qsizetype NamesBlockSize(const CalcPrinterNames& names)
{
    return 2 * (names.Driver.size() + names.Device.size() + names.Output.size()) + 14;
}

std::optional<CalcPrinterNames> ReadNamesBlock(QByteArrayView block)
{
    if (block.size() < 2 * NamesHeaderUnits || block.size() > 3 * 0xFFFF)
        return std::nullopt;
    const auto driver = StringAt(block, Get16(block, 0));
    const auto device = StringAt(block, Get16(block, 2));
    const auto output = StringAt(block, Get16(block, 4));
    if (!driver || !device || !output)
        return std::nullopt;
    return CalcPrinterNames{*driver, *device, *output, Get16(block, 6) != 0};
}

QByteArray ModeBlock(const CalcPrinterMode& mode)
{
    QByteArray block(ModeBlockSize, '\0');
    PutName(block, DeviceNameAt, mode.Device);
    Put16(block, LayoutVersionAt, LayoutVersion);
    Put16(block, SizeAt, static_cast<std::uint16_t>(ModeBlockSize));
    Put32(block, FieldsAt, mode.Fields);
    for (const ShortField& field : ShortFields)
        PutShort(block, field.At, mode.*field.Field);
    PutName(block, FormNameAt, mode.FormName);
    return block;
}

std::optional<CalcPrinterMode> ReadModeBlock(QByteArrayView block)
{
    if (block.size() != ModeBlockSize)
        return std::nullopt;
    CalcPrinterMode mode;
    mode.Device = GetName(block, DeviceNameAt);
    mode.Fields = Get32(block, FieldsAt);
    for (const ShortField& field : ShortFields)
        mode.*field.Field = GetShort(block, field.At);
    mode.FormName = GetName(block, FormNameAt);
    return mode;
}

CalcPrinterNames NamesOf(const QPrinterInfo& printer)
{
    CalcPrinterNames names;
    names.Device = printer.printerName();
    names.Driver = printer.makeAndModel().isEmpty() ? QStringLiteral("CUPS") : printer.makeAndModel();
    names.Output = printer.location().isEmpty() ? printer.printerName() : printer.location();
    names.IsDefault = printer.isDefault();
    return names;
}

CalcPrinterMode ModeOf(const QPrinter& printer)
{
    using namespace CalcPrinterModeFields;
    CalcPrinterMode mode;
    mode.Device = printer.printerName();
    const QPageLayout layout = printer.pageLayout();
    const QPageSize paper = layout.pageSize();
    mode.Fields = Orientation | Copies | PrintQuality | Color | Duplex | YResolution | Collate | FormName;
    mode.Orientation = layout.orientation() == QPageLayout::Landscape ? 2 : 1;
    if (paper.id() != QPageSize::Custom && paper.windowsId() > 0) {
        mode.Fields |= PaperSize;
        mode.PaperSize = paper.windowsId();
    } else {
        const QSizeF millimetres = paper.size(QPageSize::Millimeter);
        mode.Fields |= PaperLength | PaperWidth;
        mode.PaperWidth = static_cast<int>(std::lround(millimetres.width() * 10));
        mode.PaperLength = static_cast<int>(std::lround(millimetres.height() * 10));
    }
    mode.Copies = printer.copyCount();
    mode.PrintQuality = printer.resolution();
    mode.YResolution = printer.resolution();
    mode.Color = printer.colorMode() == QPrinter::Color ? 2 : 1;
    switch (printer.duplex()) {
    case QPrinter::DuplexNone:
        mode.Duplex = 1;
        break;
    case QPrinter::DuplexShortSide:
        mode.Duplex = 3;
        break;
    case QPrinter::DuplexLongSide:
    case QPrinter::DuplexAuto:
        mode.Duplex = 2;
        break;
    }
    mode.Collate = printer.collateCopies() ? 1 : 0;
    mode.FormName = paper.name();
    return mode;
}

void ApplyMode(const CalcPrinterMode& mode, QPrinter& printer)
{
    using namespace CalcPrinterModeFields;
    if (mode.Fields & PaperSize) {
        const QPageSize paper(QPageSize::id(mode.PaperSize));
        if (paper.isValid() && paper.id() != QPageSize::Custom)
            printer.setPageSize(paper);
    } else if ((mode.Fields & PaperLength) && (mode.Fields & PaperWidth) && mode.PaperLength > 0 &&
               mode.PaperWidth > 0) {
        printer.setPageSize(QPageSize(QSizeF(mode.PaperWidth / 10.0, mode.PaperLength / 10.0), QPageSize::Millimeter));
    }
    if (mode.Fields & Orientation)
        printer.setPageOrientation(mode.Orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (mode.Fields & Copies)
        printer.setCopyCount(std::clamp(mode.Copies, 1, MaximumCopies));
    if (mode.Fields & Color)
        printer.setColorMode(mode.Color == 1 ? QPrinter::GrayScale : QPrinter::Color);
    if (mode.Fields & Duplex) {
        printer.setDuplex(mode.Duplex == 2       ? QPrinter::DuplexLongSide
                              : mode.Duplex == 3 ? QPrinter::DuplexShortSide
                                                 : QPrinter::DuplexNone);
    }
    if (mode.Fields & Collate)
        printer.setCollateCopies(mode.Collate != 0);
}

CalcPrinterSelection::CalcPrinterSelection() : CalcPrinterSelection(QueueIsInstalled) {}

CalcPrinterSelection::CalcPrinterSelection(QueueExists exists) : exists_(std::move(exists)) {}

void CalcPrinterSelection::clear()
{
    names_.clear();
    mode_.clear();
}

void CalcPrinterSelection::load(QSettings& settings)
{
    if (hasNames() || hasMode())
        return;
    settings.beginGroup(PrintGroup);
    CalcPrinterNames names;
    names.Device = StoredString(settings, DeviceKey);
    names.Driver = StoredString(settings, DriverKey);
    names.Output = StoredString(settings, OutputKey);
    names.IsDefault = Tevra::ReadStoredUInt32(settings, DefaultKey).value_or(0) != 0;
    const QVariant mode = settings.value(ModeKey);
    settings.endGroup();

    // The block's offsets are 16 bits wide: longer names cannot be kept.
    if (!names.Device.isEmpty() && !names.Driver.isEmpty() && !names.Output.isEmpty() &&
        NamesBlockSize(names) / 2 <= 0xFFFF)
        names_ = NamesBlock(names);
    if (mode.typeId() == QMetaType::QByteArray) {
        if (auto stored = ReadModeBlock(mode.toByteArray())) {
            if (stored->Fields & CalcPrinterModeFields::Copies)
                stored->Copies = 1;
            mode_ = ModeBlock(*stored);
        }
    }
}

void CalcPrinterSelection::save(QSettings& settings) const
{
    const auto names = ReadNamesBlock(names_);
    if (!names || !hasMode())
        return;
    settings.beginGroup(PrintGroup);
    settings.setValue(DeviceKey, names->Device);
    settings.setValue(DriverKey, names->Driver);
    settings.setValue(OutputKey, names->Output);
    settings.setValue(DefaultKey, names->IsDefault ? 1 : 0);
    settings.setValue(ModeKey, mode_);
    settings.endGroup();
}

bool CalcPrinterSelection::applyTo(QPrinter& printer)
{
    const auto names = ReadNamesBlock(names_);
    const auto mode = ReadModeBlock(mode_);
    QString device;
    if (names)
        device = names->Device;
    else if (mode)
        device = mode->Device;
    if (device.isEmpty() && !hasNames() && !hasMode())
        return true;
    // A queue that is gone, or page settings made for another printer, no
    // longer fit: the selection is dropped and the default printer stays.
    const bool fits = (hasNames() == names.has_value()) && (hasMode() == mode.has_value()) && exists_(device) &&
        (!mode || !names || mode->Device == names->Device.left(NameUnits - 1));
    if (!fits) {
        clear();
        return false;
    }
    printer.setPrinterName(device);
    if (mode)
        ApplyMode(*mode, printer);
    return true;
}

void CalcPrinterSelection::takeFrom(const QPrinter& printer)
{
    if (printer.outputFormat() != QPrinter::NativeFormat || printer.printerName().isEmpty())
        return;
    const QPrinterInfo info = QPrinterInfo::printerInfo(printer.printerName());
    CalcPrinterNames names;
    if (info.isNull())
        names = CalcPrinterNames{QStringLiteral("CUPS"), printer.printerName(), printer.printerName(), false};
    else
        names = NamesOf(info);
    names_ = NamesBlock(names);
    mode_ = ModeBlock(ModeOf(printer));
}
