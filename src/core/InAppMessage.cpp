#include "core/InAppMessage.h"

TInAppMessageHolder *TInAppMessageHolder::instance()
{
    static TInAppMessageHolder holder;
    return &holder;
}

void TInAppMessageHolder::Raise(bool TInAppMessage::*flag)
{
    FMessage.*flag = true;
    emit Raised();
}

void TInAppMessageHolder::Clear(bool TInAppMessage::*flag)
{
    FMessage.*flag = false;
}

TInAppMessage TInAppMessageHolder::Take()
{
    const TInAppMessage m = FMessage;
    FMessage.Clear();
    return m;
}
