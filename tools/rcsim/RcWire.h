#pragma once
// The simulator's own reading and writing of the centre-server packet header
// (kept apart from the console's code so that each checks the other).
//
// Header, 32 bytes: 0 'C', 1 'M', 2 src, 3 dst, 4 current frame, 5 total frames,
// 6 frame sequence, 7 kind of target, 8 opcode, 9 command, 10-11 target number,
// 12-15 data size, 16-31 time stamp as two 64-bit numbers (seconds, microseconds)
// whose upper halves are zero. Multi-byte fields in the server's byte order.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace rcsim {

constexpr int kHeadSize = 32;
constexpr int kStateImageSize = 124768;
constexpr int kGroupCount = 200;
constexpr int kGroupRecordSize = 76;
constexpr int kLcCount = 1024;
constexpr int kLcRecordSize = 107;
constexpr int kLcstOffset = 74;

struct WireHead
{
    quint8 stx1 = 0x43;
    quint8 stx2 = 0x4D;
    quint8 src = 2;
    quint8 dst = 1;
    quint8 currentFrame = 0;
    quint8 totalFrame = 0;
    quint8 frameSeq = 0;
    quint8 kind = 0;
    quint8 opcode = 0;
    quint8 command = 0;
    quint16 target = 0;
    quint32 dsize = 0;
    quint32 seconds = 0;
    quint32 micros = 0;
    // The 8-byte halves' upper words (zero on every packet the console writes).
    quint32 secondsHigh = 0;
    quint32 microsHigh = 0;

    static WireHead decode(const char *bytes, bool bigEndian);
    QByteArray encode(bool bigEndian) const;
    bool validStart() const { return stx1 == 0x43 && stx2 == 0x4D; }
    bool isClosing() const { return opcode == 1 && kind == 0; }
};

QString toHex(const QByteArray &bytes);

} // namespace rcsim
