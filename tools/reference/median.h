#pragma once

#include <algorithm>
#include <vector>

// The middle of the measured values (of the two middle ones, their mean);
// what a benchmark reports of rounds that a busy machine scatters. The
// values come back sorted.
inline double SortedMedian(std::vector<double>& values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

inline double Median(std::vector<double> values) {
    return SortedMedian(values);
}
