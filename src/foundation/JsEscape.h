#pragma once
// Texts and numbers written into map-page scripts.
//
// Every text that the console puts into a page script goes through JsStr: it
// yields a complete, double-quoted JavaScript string literal that stays one
// literal whatever the text holds (quotes, backslashes, line breaks, the line
// separators U+2028/U+2029, "</script>", control characters).
// Numbers go through JsNum, which always uses the C locale ("37.5", never "37,5").
#include <QString>

// "text" as a JavaScript string literal, quotes included.
QString JsStr(const QString &text);

// The body of JsStr without the surrounding quotes (for texts that are pasted
// inside a literal the caller already opened with a double quote).
QString JsEscape(const QString &text);

// A number in the C locale, shortest form that reads back the same value.
// Not-a-number and infinities become 0 (a page script cannot use them).
QString JsNum(double value);
QString JsNum(qint64 value);
inline QString JsNum(int value) { return JsNum(static_cast<qint64>(value)); }

// "true" / "false".
inline QString JsBool(bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); }

// A number kept as text (coordinates stored as text in the database) put into a
// script unquoted: the text when it is a plain decimal number in the C locale
// ("-37.5", "127", "1e-3") whose value is finite, else `fallback` (so, as with
// JsNum, a number out of range such as "1e999" gives 0 by default). Keeps stored texts unchanged while
// making sure nothing but a number ever lands in the script.
QString JsNumText(const QString &text, const QString &fallback = QStringLiteral("0"));
