#pragma once
// Helpers shared by the diff tests: readable rows, the 64 option combinations and the invariants of
// a complete alignment.

#include "diff/diffengine.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

// gtest prints rows with this.
void PrintTo(const TDiffItem& item, std::ostream* os);

namespace diffchecks {

// Bit 0 IgnoreCase … bit 5 IgnoreBlankLines, in the record's order.
TDiffOptions OptionsFromBits(int bits);
std::string OptionsName(const TDiffOptions& options);

// Every line in exactly one row, in order on both sides, and each kind's fields as they must be.
testing::AssertionResult IsCompleteAlignment(const TDiffItems& items, const QStringList& left,
                                             const QStringList& right, const TDiffOptions& options);

qsizetype CountKind(const TDiffItems& items, TDiffKind kind);

}  // namespace diffchecks
