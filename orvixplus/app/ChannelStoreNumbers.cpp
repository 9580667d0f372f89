#include "ChannelStore.h"
#include <algorithm>
#include <vector>

void CChannelStore::GetNumbers(int nList, CArray<int, int>& numbers) const
{
    numbers.RemoveAll();
    const CChannelMap* map = MapOf(nList);
    if (!map)
        return;
    std::vector<int> keys;
    keys.reserve(map->GetCount());
    for (POSITION pos = map->GetStartPosition(); pos;) {
        int number = 0;
        ChannelRecord* pRec = NULL;
        map->GetNextAssoc(pos, number, pRec);
        if (pRec)
            keys.push_back(number);
    }
    std::sort(keys.begin(), keys.end());
    for (int n : keys)
        numbers.Add(n);
}
