#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace platform {

// Documents, ini and language files carry the bytes of the Windows ANSI code
// page 1252. Qt has no such codec without ICU, so the table lives here.

// Every byte decodes; the five bytes the code page leaves undefined map to the
// C1 control of the same value, as the platform's own conversion does.
QString decodeWindows1252(QByteArrayView bytes);

// The code-page byte of one UTF-16 unit, or -1 when the page has no such character.
int windows1252ByteOf(char16_t unit);

// Encodes text; characters outside the code page become `replacement`.
QByteArray encodeWindows1252(QStringView text, char replacement = '?');

// Text files that may be UTF-8 or Windows-1252: UTF-8 when the bytes start with
// a byte-order mark or are valid UTF-8, else Windows-1252.
QString decodeUtf8OrWindows1252(QByteArrayView bytes);

} // namespace platform
