#include "centrelink/CommLogFormat.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace CommLog {

QString TimedLine(const QString &msg, const QString &time, const QTime &now)
{
    if (time.isEmpty())
        return now.toString(QStringLiteral("hh:mm:ss")) + QStringLiteral(" : ") + msg;
    return time + QStringLiteral(" : ") + msg;
}

QStringList PacketDump(const QString &title, const void *data, int len, int lineLen)
{
    QStringList lines;
    lines << QString() << QStringLiteral("%1 (%2 Byte)").arg(title).arg(len);
    if (!data || len <= 0)
        return lines;
    if (lineLen <= 0)
        lineLen = 16;
    const auto *bytes = static_cast<const quint8 *>(data);
    int row = 0;
    for (int pos = 0; pos < len; pos += lineLen) {
        ++row;
        QString line = QStringLiteral("[%1] %2 : ")
                           .arg(row, 2, 10, QLatin1Char('0'))
                           .arg(pos + 1, 3, 10, QLatin1Char('0'));
        const int end = qMin(len, pos + lineLen);
        for (int i = pos; i < end; ++i)
            line += QStringLiteral(" %1").arg(bytes[i], 2, 16, QLatin1Char('0'));
        lines << line;
    }
    return lines;
}

QString TitleRule()
{
    return QStringLiteral("* ----------------------------------------------------------");
}

QString FormatC(const QString &format, const QStringList &args)
{
    QString out;
    out.reserve(format.size() + 32);
    int next = 0;
    for (int i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('%') && i + 1 < format.size()) {
            const QChar k = format.at(i + 1);
            if (k == QLatin1Char('s') || k == QLatin1Char('d')) {
                out += next < args.size() ? args.at(next) : QString();
                ++next;
                ++i;
                continue;
            }
            if (k == QLatin1Char('%')) {
                out += QLatin1Char('%');
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QStringList TitleBlock(const QString &cmdFormat, const QString &targetFormat, const QString &dateFormat,
                       const QString &cmd, int number, const QString &name, const QDateTime &now)
{
    QStringList lines;
    lines << QString() << TitleRule() << FormatC(cmdFormat, {cmd})
          << FormatC(targetFormat, {QString::number(number), name})
          << FormatC(dateFormat, {now.toString(QStringLiteral("yyyy-MM-dd, hh:mm:ss"))}) << TitleRule();
    return lines;
}

QStringList ResultLines(const QString &rslt)
{
    return {QString(), QStringLiteral(">> ") + rslt};
}

int LineCount(const QPlainTextEdit *memo)
{
    if (!memo)
        return 0;
    const QTextDocument *doc = memo->document();
    if (doc->isEmpty())
        return 0;
    return doc->blockCount();
}

QStringList Lines(const QPlainTextEdit *memo)
{
    QStringList lines;
    if (!memo || memo->document()->isEmpty())
        return lines;
    for (QTextBlock b = memo->document()->begin(); b.isValid(); b = b.next())
        lines << b.text();
    return lines;
}

void DeleteFirstLines(QPlainTextEdit *memo, int count)
{
    if (!memo || count <= 0)
        return;
    const int total = LineCount(memo);
    if (count >= total) {
        memo->clear();
        return;
    }
    QTextCursor cursor(memo->document());
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, count);
    cursor.removeSelectedText();
}

void AppendLines(QPlainTextEdit *memo, const QStringList &lines)
{
    if (!memo || lines.isEmpty())
        return;
    const QString text = lines.join(QLatin1Char('\n'));
    if (memo->document()->isEmpty()) {
        // The first line of an empty memo fills its one empty block.
        QTextCursor cursor(memo->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(text);
        return;
    }
    QTextCursor cursor(memo->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    cursor.insertText(text);
}

void ScrollToEnd(QPlainTextEdit *memo)
{
    if (!memo)
        return;
    memo->moveCursor(QTextCursor::End);
    if (QScrollBar *bar = memo->verticalScrollBar())
        bar->setValue(bar->maximum());
}

void TrimAfterChange(QPlainTextEdit *memo, int maxLines)
{
    const int total = LineCount(memo);
    if (total > maxLines)
        DeleteFirstLines(memo, total - (maxLines - 1));
}

void TrimBeforeFlush(QPlainTextEdit *memo, int maxLines, int step)
{
    int total = LineCount(memo);
    int drop = 0;
    while (total - drop >= maxLines)
        drop += step;
    DeleteFirstLines(memo, drop);
}

} // namespace CommLog
