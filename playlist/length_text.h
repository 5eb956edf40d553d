#pragma once

// How play lengths read in the playlist: "3:25", "1:02:03" from an hour on,
// and the bottom bar's totals.

#include <cstdint>
#include <string>

std::string LengthText(int64_t milliseconds);

// A sum of lengths and whether some entries in it had none known.
struct LengthTotal {
    int64_t milliseconds = 0;
    bool partial = false;

    void Add(int64_t lengthMs);  // a negative length is unknown
};

// "selected/list", each with a "+" when partial: "3:25/1:02:03+".
std::string TotalsText(const LengthTotal& selected, const LengthTotal& list);
