#pragma once
// Texts of the two communication logs, apart from their windows: the timed line,
// the packet dump, the command title block and the result line, and the line
// trimming of both memos.

#include <QDateTime>
#include <QString>
#include <QStringList>

class QPlainTextEdit;

namespace CommLog {

// "hh:nn:ss : msg" with the current time when `time` is empty, else "time : msg".
QString TimedLine(const QString &msg, const QString &time, const QTime &now = QTime::currentTime());

// A blank line, "title (len Byte)", then rows of lineLen bytes:
// "[01] 001 :  43 4d ..." (row number from 1, position of the row's first byte from
// 1, " %02x" per byte); the last, shorter row too; only the heading for len 0.
QStringList PacketDump(const QString &title, const void *data, int len, int lineLen);

// The title block of a command: a blank line, a rule, the command, the target and
// the date lines, the rule again. targetFormat holds "%d" and "%s" (IDS_6 / IDS_10).
QStringList TitleBlock(const QString &cmdFormat, const QString &targetFormat, const QString &dateFormat,
                       const QString &cmd, int number, const QString &name,
                       const QDateTime &now = QDateTime::currentDateTime());
// The rule line of title blocks.
QString TitleRule();

// A blank line and ">> rslt".
QStringList ResultLines(const QString &rslt);

// Formats a text with C-style "%s" and "%d" placeholders in order.
QString FormatC(const QString &format, const QStringList &args);

// Lines of a plain-text memo.
int LineCount(const QPlainTextEdit *memo);
QStringList Lines(const QPlainTextEdit *memo);
void DeleteFirstLines(QPlainTextEdit *memo, int count);
void AppendLines(QPlainTextEdit *memo, const QStringList &lines);
void ScrollToEnd(QPlainTextEdit *memo);

// Control-command log rule: after a change, a memo of more than maxLines lines
// loses its first lines until fewer than maxLines remain.
void TrimAfterChange(QPlainTextEdit *memo, int maxLines = 1000);
// Monitoring-link log rule before a flush: while the memo holds maxLines lines or
// more, its first `step` lines are deleted.
void TrimBeforeFlush(QPlainTextEdit *memo, int maxLines = 1000, int step = 100);

} // namespace CommLog
