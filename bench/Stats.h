#pragma once

// Summary statistics of a set of samples, and the errors of a run.

#include <cstddef>
#include <string>
#include <vector>

namespace bench {

struct Stats {
    size_t n = 0;
    double median = 0, p99 = 0, max = 0, min = 0;
};

// The median of an even count is the mean of the middle two; p99 is by
// nearest rank.
Stats Summarise(std::vector<double> v);

// What went wrong during a run: printed as it happens, listed after the goals.
struct RunErrors {
    bool ok = true;
    std::string text;
};

void Fail(RunErrors& errors, const std::string& what);

} // namespace bench
