#include "Stats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace bench {

Stats Summarise(std::vector<double> v)
{
    Stats s;
    s.n = v.size();
    if (v.empty())
        return s;
    std::sort(v.begin(), v.end());
    s.min = v.front();
    s.max = v.back();
    s.median = v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    // Nearest rank.
    size_t rank = static_cast<size_t>(std::ceil(0.99 * v.size()));
    s.p99 = v[rank ? rank - 1 : 0];
    return s;
}

void Fail(RunErrors& errors, const std::string& what)
{
    errors.ok = false;
    errors.text += what + "\n";
    fprintf(stderr, "error: %s\n", what.c_str());
}

} // namespace bench
