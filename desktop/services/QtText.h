// The one conversion between the core's texts and Qt's QString: UTF-16 code
// units (std::u16string, positions as the engine counts them) map one to one;
// the core's fixed texts (messages, table entries) are UTF-8.
#pragma once

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>

namespace Tevra {

inline QString ToQString(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline QString ToQString(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::u16string ToU16String(const QString& text)
{
    return text.toStdU16String();
}

// The text as the core reads it, without a copy; valid while text is
// unchanged.
inline std::u16string_view ToU16View(const QString& text)
{
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

}  // namespace Tevra
