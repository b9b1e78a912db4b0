#pragma once
// Conversion between texts and CP949, the code page in which the controllers and
// the layer data keep their texts; limits given in bytes are counted in CP949.

#include <QByteArray>
#include <QString>

// The CP949 bytes of a text. A character that CP949 cannot hold becomes "?" and
// *ok (when given) turns false.
QByteArray ToCp949(const QString &text, bool *ok = nullptr);
// The text of CP949 bytes. An invalid or cut byte sequence becomes U+FFFD and *ok
// (when given) turns false.
QString FromCp949(const QByteArray &bytes, bool *ok = nullptr);
// Length of a text in CP949 bytes (a character CP949 cannot hold counts one byte, as
// its "?" replacement).
int Cp949ByteLength(const QString &text);
// The longest leading part of a text whose CP949 form has at most maxBytes bytes
// (never half a character).
QString Cp949Left(const QString &text, int maxBytes);
// The text of a large-object column (a group outline, a layer's text): UTF-8 when
// the bytes are valid UTF-8, else CP949; a value that is not bytes as its text.
class QVariant;
QString BlobText(const QVariant &value);
