#include "intersection/VmsRules.h"

#include "core/GridResources.h"
#include "core/siLang.h"
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
    const TRepositoryItem *item = GridResources::Item(itemName);
    if (!item)
        return list;
    auto *lang = TsiLangDispatcher::instance();
    const QString table = QStringLiteral("GridResources");
    for (const auto &v : item->Values) {
        const QString key = itemName + '.' + v.first.toString();
        const bool own = lang->HasText(table, key, lang->ActiveLanguage());
        list.append({v.first, own ? lang->TextIn(table, key, lang->ActiveLanguage()) : v.second});
    }
    return list;
}

} // namespace Vms
