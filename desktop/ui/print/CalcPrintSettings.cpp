#include "desktop/ui/print/CalcPrintSettings.h"

#include "desktop/services/PreferencesStore.h"

#include <QSettings>

#include <algorithm>

namespace CalcPrintItems {

namespace {

constexpr std::uint32_t FormatShift = 4;
constexpr std::uint32_t PositionShift = 7;
constexpr std::uint32_t ChoiceMask = 7;  // three bits each

}  // namespace

NumberFormat FormatOf(std::uint32_t items)
{
    return static_cast<NumberFormat>(std::min<std::uint32_t>((items >> FormatShift) & ChoiceMask, 2));
}

NumberPosition PositionOf(std::uint32_t items)
{
    return static_cast<NumberPosition>(std::min<std::uint32_t>((items >> PositionShift) & ChoiceMask, 3));
}

bool NumberInHeader(std::uint32_t items)
{
    const NumberPosition position = PositionOf(items);
    return position == NumberPosition::HeaderCenter || position == NumberPosition::HeaderRight;
}

bool HasHeader(std::uint32_t items)
{
    return (items & FileInfo) != 0 || ((items & Number) != 0 && NumberInHeader(items));
}

bool HasFooter(std::uint32_t items)
{
    return (items & (Date | Time)) != 0 || ((items & Number) != 0 && !NumberInHeader(items));
}

std::uint32_t Compose(bool fileInfo, bool time, bool date, bool number, NumberFormat format, NumberPosition position)
{
    return (fileInfo ? FileInfo : 0) | (time ? Time : 0) | (date ? Date : 0) | (number ? Number : 0) |
        (static_cast<std::uint32_t>(format) & ChoiceMask) << FormatShift |
        (static_cast<std::uint32_t>(position) & ChoiceMask) << PositionShift;
}

}  // namespace CalcPrintItems

QString DescribeFont(const CalcPrintFont& font)
{
    QString description = QStringLiteral("%1 %2 pt").arg(font.Face).arg(font.Size);
    if (font.Weight > 400)
        description += QStringLiteral(", bold");
    if (font.Italic)
        description += QStringLiteral(", italic");
    return description;
}

namespace {

const QString PrintGroup = QStringLiteral("Print");

// Margins beyond a metre are no margins anyone sets; a stored one is a
// damaged value.
constexpr std::uint32_t MaximumMargin = 10'000'000;
constexpr std::uint32_t MaximumFontSize = 1000;
constexpr std::uint32_t MaximumFontWeight = 1000;
constexpr qsizetype MaximumFaceLength = 256;

struct MarginKey {
    const char* Key;
    std::int64_t CalcPrintSettings::*Field;
};

constexpr MarginKey MarginKeys[] = {
    {"MarginLeft", &CalcPrintSettings::MarginLeft},
    {"MarginTop", &CalcPrintSettings::MarginTop},
    {"MarginRight", &CalcPrintSettings::MarginRight},
    {"MarginBottom", &CalcPrintSettings::MarginBottom},
};

struct FontKey {
    const char* Prefix;
    CalcPrintFont CalcPrintSettings::*Field;
};

constexpr FontKey FontKeys[] = {
    {"TextFont", &CalcPrintSettings::TextFont},
    {"ServiceFont", &CalcPrintSettings::ServiceFont},
};

QString Key(const char* prefix, const char* name)
{
    return QLatin1String(prefix) + QLatin1String(name);
}

void LoadFont(QSettings& settings, const char* prefix, CalcPrintFont& font)
{
    const QVariant face = settings.value(Key(prefix, "Face"));
    if (face.typeId() == QMetaType::QString) {
        const QString text = face.toString();
        if (!text.trimmed().isEmpty() && text.size() <= MaximumFaceLength)
            font.Face = text;
    }
    if (const auto size = Tevra::ReadStoredUInt32(settings, Key(prefix, "Size"));
        size && *size >= 1 && *size <= MaximumFontSize)
        font.Size = static_cast<int>(*size);
    if (const auto weight = Tevra::ReadStoredUInt32(settings, Key(prefix, "Weight"));
        weight && *weight >= 1 && *weight <= MaximumFontWeight)
        font.Weight = static_cast<int>(*weight);
    if (const auto italic = Tevra::ReadStoredUInt32(settings, Key(prefix, "Italic")))
        font.Italic = *italic != 0;
}

}  // namespace

CalcPrintSettings LoadPrintSettings(QSettings& settings)
{
    CalcPrintSettings record;
    settings.beginGroup(PrintGroup);
    for (const MarginKey& margin : MarginKeys) {
        if (const auto value = Tevra::ReadStoredUInt32(settings, QLatin1String(margin.Key));
            value && *value <= MaximumMargin)
            record.*margin.Field = *value;
    }
    if (const auto items = Tevra::ReadStoredUInt32(settings, QStringLiteral("Items")))
        record.Items = *items;
    for (const FontKey& font : FontKeys)
        LoadFont(settings, font.Prefix, record.*font.Field);
    settings.endGroup();
    return record;
}

void SavePrintSettings(const CalcPrintSettings& record, QSettings& settings)
{
    settings.beginGroup(PrintGroup);
    for (const MarginKey& margin : MarginKeys)
        settings.setValue(QLatin1String(margin.Key), static_cast<qint64>(record.*margin.Field));
    settings.setValue(QStringLiteral("Items"), record.Items);
    for (const FontKey& key : FontKeys) {
        const CalcPrintFont& font = record.*key.Field;
        settings.setValue(Key(key.Prefix, "Face"), font.Face);
        settings.setValue(Key(key.Prefix, "Size"), font.Size);
        settings.setValue(Key(key.Prefix, "Weight"), font.Weight);
        settings.setValue(Key(key.Prefix, "Italic"), font.Italic ? 1 : 0);
    }
    settings.endGroup();
}
