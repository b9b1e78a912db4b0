#pragma once
// Settings file with the semantics of the Windows profile functions: section and
// key names are compared case-insensitively, values are taken raw (trimmed, no
// quoting or escaping), a write changes only its own line and keeps every other
// line of the file as it was. The file is read for each call and written at once;
// nothing holds it open.
#include <QString>
#include <QStringList>

class TIniFile
{
public:
    explicit TIniFile(const QString &fileName);
    QString FileName() const { return FFileName; }

    QString ReadString(const QString &section, const QString &ident, const QString &def) const;
    // Decimal (optionally signed, "0x"/"$" hexadecimal accepted); `def` when the value is
    // missing, empty or not a whole number.
    int ReadInteger(const QString &section, const QString &ident, int def) const;
    // An integer: 0 is false, any other number true; `def` when not a number.
    bool ReadBool(const QString &section, const QString &ident, bool def) const;
    // C-locale number; `def` when not a number.
    double ReadFloat(const QString &section, const QString &ident, double def) const;

    bool WriteString(const QString &section, const QString &ident, const QString &value);
    bool WriteInteger(const QString &section, const QString &ident, int value);
    bool WriteBool(const QString &section, const QString &ident, bool value);
    bool WriteFloat(const QString &section, const QString &ident, double value);

    bool SectionExists(const QString &section) const;
    bool ValueExists(const QString &section, const QString &ident) const;
    QStringList ReadSections() const;
    QStringList ReadSection(const QString &section) const; // key names, file order
    bool EraseSection(const QString &section);
    bool DeleteKey(const QString &section, const QString &ident);

    // Parses an integer the way ReadInteger does; ok=false when it is not one.
    static int ParseInteger(const QString &text, bool *ok);

private:
    QString FFileName;
};
