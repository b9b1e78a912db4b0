#pragma once
// Holder of the main window's refresh flags (TInAppMessage): editors raise a flag
// after a committed save; the main window takes the flags when it is activated
// again, acts on them and clears them.
//
//     RaiseInAppMessage(&TInAppMessage::REFRESH_TCDV_MASTER);   // an editor
//     const TInAppMessage m = TInAppMessageHolder::instance()->Take(); // main window
#include <QObject>

#include "foundation/TypeUnit.h"

class TInAppMessageHolder : public QObject
{
    Q_OBJECT
public:
    static TInAppMessageHolder *instance();

    // The flags as they stand (the main window may also clear single flags).
    TInAppMessage &Flags() { return FMessage; }
    const TInAppMessage &Flags() const { return FMessage; }
    void Raise(bool TInAppMessage::*flag);
    void Clear(bool TInAppMessage::*flag);
    // Returns the raised flags and clears them all.
    TInAppMessage Take();

signals:
    // A flag was raised.
    void Raised();

private:
    explicit TInAppMessageHolder(QObject *parent = nullptr) : QObject(parent) {}
    TInAppMessage FMessage;
};

inline void RaiseInAppMessage(bool TInAppMessage::*flag)
{
    TInAppMessageHolder::instance()->Raise(flag);
}
