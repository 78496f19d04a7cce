#pragma once

// A deliberately plain implementation of the difference algorithm, step by
// step, with every vector and text access bounds-checked. The fast TDiff is
// held against it entry for entry, so speed work can never change a script.

#include "diff/Diff.h"

#include <string_view>
#include <vector>

namespace DiffReference {

struct Result
{
    std::vector<TDiffEntry> entries;
    int yields = 0; // how often the yield hook would have been called
};

// Throws std::out_of_range when the steps would read outside a sequence or a
// reach vector.
Result Compare(std::u16string_view first, std::u16string_view second);

} // namespace DiffReference
