#include "core/CoreWindows.h"

#include "core/MainContracts.h"
#include "core/ProgramInfoUnit.h"
#include "core/untUSER_E.h"

void RegisterCoreWindows()
{
    TMainOpeners::Register(QStringLiteral("TfrmUSER_E"),
                           {[](const TOpenContext &c) -> QWidget * { return new TfrmUSER_E(c.Owner); }, {}, {}, {}});
    TMainOpeners::Register(QStringLiteral("TProgramInfoForm"),
                           {[](const TOpenContext &c) -> QWidget * { return new TProgramInfoForm(c.Owner); }, {}, {}, {}});
}
