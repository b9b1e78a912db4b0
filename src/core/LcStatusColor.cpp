#include "core/LcStatusColor.h"

#include "core/Quorval.h"

namespace {
struct TStateDefault
{
    int tag;
    const char *key;
    quint32 number;
};
const TStateDefault kDefaults[] = {
    {0, "LC_STATUS_COMM_FAIL_COLOR", 255},
    {1, "LC_STATUS_CENTER_MODE_COLOR", 16711680},
    {2, "LC_STATUS_LOCAL_MODE_COLOR", 8224125},
    {3, "LC_STATUS_FAIL_COLOR", 16711935},
    {4, "LC_STATUS_TRANSE_COLOR", 16744448},
    {5, "LC_STATUS_FLASH_COLOR", 65535},
    {6, "LC_STATUS_LIGHT_OFF_COLOR", 0},
    {7, "LC_STATUS_MAN_OPR_COLOR", 16512},
    {8, "LC_STATUS_MAN_FLASH_COLOR", 26316},
    {9, "LC_STATUS_MAN_LIGHT_OFF_COLOR", 623871},
    {10, "LC_STATUS_PAHSE_HOLD_COLOR", 32768},
    {11, "LC_STATUS_SCU_MODE_COLOR", 8421504},
    {12, "LC_STATUS_PPC_MODE_COLOR", 8421504},
    {255, "LC_STATUS_UNUSED_COLOR", 8421504},
};
} // namespace

quint32 TLcStatusColors::DefaultColorNumber(int tag)
{
    for (const auto &d : kDefaults)
        if (d.tag == tag)
            return d.number;
    return 0;
}

QString TLcStatusColors::IniKey(int tag)
{
    for (const auto &d : kDefaults)
        if (d.tag == tag)
            return QString::fromLatin1(d.key);
    return QString();
}

TLcStatusColors TLcStatusColors::Defaults()
{
    TLcStatusColors c;
    for (const auto &d : kDefaults)
        c.SetByTag(d.tag, TColorToQColor(d.number));
    return c;
}

QColor TLcStatusColors::ByTag(int tag) const
{
    if (tag >= 0 && tag <= 12)
        return State[tag];
    if (tag == 255)
        return Unused;
    return QColor(Qt::black);
}

void TLcStatusColors::SetByTag(int tag, const QColor &colour)
{
    if (tag >= 0 && tag <= 12)
        State[tag] = colour;
    else if (tag == 255)
        Unused = colour;
}

QColor LcStatusColor(const TLcStatusColors &colors, int state, int mode)
{
    if (mode == 3)
        return colors.State[12];
    if (state == 9)
        return colors.State[6];
    if (state >= 0 && state <= 12)
        return colors.State[state];
    return QColor(Qt::black);
}

QString GetLcStatusColor(const TLcStatusColors &colors, int state, int mode)
{
    return TColorToHex(LcStatusColor(colors, state, mode));
}

QColor LcUseColor(const TLcStatusColors &colors, bool inUse, int state, int mode)
{
    return inUse ? LcStatusColor(colors, state, mode) : colors.Unused;
}
