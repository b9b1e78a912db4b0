#include "RcWire.h"

namespace rcsim {

namespace {
quint32 get32(const char *p, bool be)
{
    const auto *u = reinterpret_cast<const quint8 *>(p);
    if (be)
        return (quint32(u[0]) << 24) | (quint32(u[1]) << 16) | (quint32(u[2]) << 8) | quint32(u[3]);
    return (quint32(u[3]) << 24) | (quint32(u[2]) << 16) | (quint32(u[1]) << 8) | quint32(u[0]);
}
quint16 get16(const char *p, bool be)
{
    const auto *u = reinterpret_cast<const quint8 *>(p);
    return be ? quint16((u[0] << 8) | u[1]) : quint16((u[1] << 8) | u[0]);
}
void put32(char *p, quint32 v, bool be)
{
    for (int i = 0; i < 4; ++i) {
        const int shift = be ? (24 - 8 * i) : (8 * i);
        p[i] = char((v >> shift) & 0xFF);
    }
}
void put16(char *p, quint16 v, bool be)
{
    p[0] = char(be ? (v >> 8) : (v & 0xFF));
    p[1] = char(be ? (v & 0xFF) : (v >> 8));
}
} // namespace

WireHead WireHead::decode(const char *b, bool be)
{
    WireHead h;
    h.stx1 = quint8(b[0]);
    h.stx2 = quint8(b[1]);
    h.src = quint8(b[2]);
    h.dst = quint8(b[3]);
    h.currentFrame = quint8(b[4]);
    h.totalFrame = quint8(b[5]);
    h.frameSeq = quint8(b[6]);
    h.kind = quint8(b[7]);
    h.opcode = quint8(b[8]);
    h.command = quint8(b[9]);
    h.target = get16(b + 10, be);
    h.dsize = get32(b + 12, be);
    // Each 64-bit half: low word first (little-endian) or second (big-endian).
    h.seconds = get32(b + (be ? 20 : 16), be);
    h.secondsHigh = get32(b + (be ? 16 : 20), be);
    h.micros = get32(b + (be ? 28 : 24), be);
    h.microsHigh = get32(b + (be ? 24 : 28), be);
    return h;
}

QByteArray WireHead::encode(bool be) const
{
    QByteArray out(kHeadSize, '\0');
    char *b = out.data();
    b[0] = char(stx1);
    b[1] = char(stx2);
    b[2] = char(src);
    b[3] = char(dst);
    b[4] = char(currentFrame);
    b[5] = char(totalFrame);
    b[6] = char(frameSeq);
    b[7] = char(kind);
    b[8] = char(opcode);
    b[9] = char(command);
    put16(b + 10, target, be);
    put32(b + 12, dsize, be);
    put32(b + (be ? 20 : 16), seconds, be);
    put32(b + (be ? 16 : 20), secondsHigh, be);
    put32(b + (be ? 28 : 24), micros, be);
    put32(b + (be ? 24 : 28), microsHigh, be);
    return out;
}

QString toHex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' '));
}

} // namespace rcsim
