// UTF-16LE bytes of ASCII texts, for the file tests of the document.
#pragma once

#include <QByteArray>

inline QByteArray Utf16(const char* text)
{
    QByteArray bytes;
    for (const char* c = text; *c; ++c) {
        bytes.append(*c);
        bytes.append('\0');
    }
    return bytes;
}
