#pragma once
// Packed records as bytes: the byte image of a record that is sent or stored, a
// record cleared to zero, and a record filled from an image of exactly its size.
// The records of the centre-server link, the control windows and the controller
// database transfer all go through these.
#include <QByteArray>

#include <cstring>

// The bytes of a record.
template <class T>
QByteArray RecordBytes(const T &record)
{
    return QByteArray(reinterpret_cast<const char *>(&record), int(sizeof(T)));
}

// A record cleared to zero.
template <class T>
T ZeroRecord()
{
    T r;
    std::memset(static_cast<void *>(&r), 0, sizeof(T));
    return r;
}

// Copies bytes into a record; false (record unchanged) unless the size is exact.
template <class T>
bool RecordFromBytes(T &record, const QByteArray &bytes)
{
    if (bytes.size() != int(sizeof(T)))
        return false;
    std::memcpy(static_cast<void *>(&record), bytes.constData(), sizeof(T));
    return true;
}
