#include "intersection/VmsRules.h"

#include "core/GridResources.h"
#include "foundation/Cp949.h"

namespace Vms {

int MaxRows(int grid)
{
    return grid == 0 ? MaxMessages : MaxSchedules;
}

bool TextFits(const QString &text)
{
    return ToCp949(text).size() <= MaxTextBytes;
}

QList<TGridItem> Choices(const QString &itemName)
{
    QList<TGridItem> list;
    if (const TRepositoryItem *item = GridResources::Item(itemName))
        for (const auto &v : GridResources::ItemValues(*item))
            list.append({v.first, v.second});
    return list;
}

} // namespace Vms
