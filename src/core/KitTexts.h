#pragma once
// The data module's translated texts as the kit's windows read them: the field of
// DM when the data module exists, else the text of its key in the [TDM] table
// (windows and tests that run without a data module still show the right words).
#include "core/siLang.h"
#include "core/untDM.h"

// KitText(&TDM::T_SaveQryMsg): DM->T_SaveQryMsg, or [TDM] strSaveQryMsg.
inline QString KitText(QString TDM::*field, const QString &key)
{
    if (DM)
        return DM->*field;
    return siText(QStringLiteral("TDM"), key);
}
#define KIT_T(name) KitText(&TDM::name, QStringLiteral("str") + QStringLiteral(#name).mid(2))
// The application title of every box.
inline QString KitAppTitle()
{
    if (DM && !DM->G_APP_TITLE.isEmpty())
        return DM->G_APP_TITLE;
    return siText(QStringLiteral("TDM"), QStringLiteral("strAPP_TITLE"));
}
