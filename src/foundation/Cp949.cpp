#include "foundation/Cp949.h"

#include <QVariant>

#include <cerrno>
#include <iconv.h>

namespace {

class Iconv
{
public:
    Iconv(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Iconv()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Iconv(const Iconv &) = delete;
    Iconv &operator=(const Iconv &) = delete;
    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    // Converts all of `in`; false at the first byte that cannot be converted, with
    // *consumed the bytes taken so far.
    bool convert(const char *in, size_t inLen, QByteArray &out, size_t *consumed)
    {
        char *src = const_cast<char *>(in);
        size_t left = inLen;
        char buf[1024];
        while (left > 0) {
            char *dst = buf;
            size_t room = sizeof buf;
            const size_t r = iconv(m_cd, &src, &left, &dst, &room);
            out.append(buf, qsizetype(dst - buf));
            if (r == size_t(-1) && errno != E2BIG) {
                *consumed = inLen - left;
                return false;
            }
        }
        char *dst = buf;
        size_t room = sizeof buf;
        iconv(m_cd, nullptr, nullptr, &dst, &room); // flush state
        out.append(buf, qsizetype(dst - buf));
        *consumed = inLen;
        return true;
    }
    void reset() { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t m_cd;
};

} // namespace

QByteArray ToCp949(const QString &text, bool *ok)
{
    if (ok)
        *ok = true;
    QByteArray out;
    if (text.isEmpty())
        return out;
    Iconv cd("CP949", "UTF-8");
    if (!cd.valid()) {
        if (ok)
            *ok = false;
        return text.toLatin1();
    }
    // Character by character where needed, so that one unconvertible character
    // becomes "?" and the rest still converts.
    const QByteArray utf8 = text.toUtf8();
    size_t pos = 0;
    while (pos < size_t(utf8.size())) {
        size_t consumed = 0;
        if (cd.convert(utf8.constData() + pos, size_t(utf8.size()) - pos, out, &consumed))
            break;
        pos += consumed;
        if (ok)
            *ok = false;
        out.append('?');
        // Skip the whole UTF-8 character that failed.
        size_t len = 1;
        const uchar lead = uchar(utf8.at(qsizetype(pos)));
        if (lead >= 0xF0) len = 4;
        else if (lead >= 0xE0) len = 3;
        else if (lead >= 0xC0) len = 2;
        pos += len;
        cd.reset();
    }
    return out;
}

QString FromCp949(const QByteArray &bytes, bool *ok)
{
    if (ok)
        *ok = true;
    if (bytes.isEmpty())
        return QString();
    Iconv cd("UTF-8", "CP949");
    if (!cd.valid()) {
        if (ok)
            *ok = false;
        return QString::fromLatin1(bytes);
    }
    QByteArray out;
    size_t pos = 0;
    while (pos < size_t(bytes.size())) {
        size_t consumed = 0;
        if (cd.convert(bytes.constData() + pos, size_t(bytes.size()) - pos, out, &consumed))
            break;
        pos += consumed + 1; // skip the offending byte
        out.append("\xEF\xBF\xBD");
        if (ok)
            *ok = false;
        cd.reset();
    }
    return QString::fromUtf8(out);
}

int Cp949ByteLength(const QString &text)
{
    return int(ToCp949(text).size());
}

QString Cp949Left(const QString &text, int maxBytes)
{
    if (maxBytes <= 0)
        return QString();
    if (Cp949ByteLength(text) <= maxBytes)
        return text;
    int bytes = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const int b = Cp949ByteLength(text.mid(i, len));
        if (bytes + b > maxBytes)
            break;
        bytes += b;
        i += len;
    }
    return text.left(i);
}

QString BlobText(const QVariant &v)
{
    if (v.typeId() == QMetaType::QByteArray) {
        const QByteArray b = v.toByteArray();
        const QString utf8 = QString::fromUtf8(b);
        if (!utf8.contains(QChar::ReplacementCharacter))
            return utf8;
        return FromCp949(b);
    }
    return v.toString();
}
