#pragma once
// The list of a full field for the benches: every line of `lineSize` of the
// horses 1..horses, in one group among itself.

#include "generators/Generators.h"

#include <vector>

namespace torvanel::bench {

inline ResultList FullField(int horses, int lineSize) {
    std::vector<HorseNumber> field;
    for (int h = 1; h <= horses; ++h) field.push_back(static_cast<HorseNumber>(h));
    ResultList list;
    AppendCombinations(list, field, lineSize);
    return list;
}

}  // namespace torvanel::bench
