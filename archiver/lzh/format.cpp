#include "format.h"

namespace lzh {

namespace {
const LzMethod kMethods[] = {
    {"-lh4-", 12, 14, 4},
    {"-lh5-", 13, 14, 4},
    {"-lh6-", 15, 16, 5},
    {"-lh7-", 16, 17, 5},
};
}  // namespace

const LzMethod* findMethod(const std::string& id) {
    for (const LzMethod& m : kMethods)
        if (id == m.id) return &m;
    return nullptr;
}

const LzMethod& methodForLevel(int jm) { return kMethods[jm == 4 ? 3 : jm == 3 ? 2 : 1]; }

}  // namespace lzh
