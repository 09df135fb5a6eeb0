// Large inputs, where the fast paths take over: tens of thousands of lines nearly equal, with a
// moved block, with few distinct lines, or unrelated. Checked against an independent count of the
// longest common subsequence, across every division of the work, and at a smaller scale against
// the literal reference.

#include "diff/diffchecks.h"
#include "diff/generatedlines.h"
#include "diff/leftmostlcs.h"
#include "diff/linekeys.h"
#include "diff/referencediff.h"

#include <QHash>
#include <gtest/gtest.h>

#include <thread>

namespace {

struct TInputCase {
  const char* Name;
  QStringList (*Left)(int scale);
  QStringList (*Right)(int scale);
  bool NearlyEqual;  // cheap enough for the walk alone
  friend void PrintTo(const TInputCase& c, std::ostream* os) { *os << c.Name; }
};

const TInputCase kInputs[] = {
    {"NearlyEqual", [](int n) { return generated::SourceLines(n, 21); },
     [](int n) { return generated::WithEdits(generated::SourceLines(n, 21), n / 200, 22); }, true},
    {"MovedBlock", [](int n) { return generated::SourceLines(n, 23); },
     [](int n) { return generated::WithMovedBlock(generated::SourceLines(n, 23), n / 5, n / 10, n / 2); }, false},
    {"FewDistinctNearlyEqual", [](int n) { return generated::FewDistinct(n / 2, 3, 24); },
     [](int n) { return generated::WithEdits(generated::FewDistinct(n / 2, 3, 24), n / 250, 25); }, true},
    {"Unrelated", [](int n) { return generated::SourceLines(n / 3, 26); },
     [](int n) { return generated::SourceLines(n / 3, 27); }, false},
};

constexpr int kLargeScale = 50000;
constexpr int kReferenceScale = 2000;

// Plain bit-parallel LCS length, written apart from the engine: the whole row, one match mask
// built per left line from the positions of its text on the right.
qsizetype LcsLength(const QStringList& a, const QStringList& b) {
  QHash<QString, QList<qsizetype>> positions;
  for (qsizetype j = 0; j < b.size(); ++j) positions[b[j]].append(j);
  const qsizetype words = (b.size() + 63) / 64;
  std::vector<std::uint64_t> v(words, ~std::uint64_t(0)), m(words, 0);
  for (const QString& line : a) {
    const auto it = positions.constFind(line);
    if (it == positions.cend()) continue;
    for (qsizetype j : *it) m[j / 64] |= std::uint64_t(1) << (j % 64);
    unsigned carry = 0;
    for (qsizetype w = 0; w < words; ++w) {
      const unsigned __int128 sum = (unsigned __int128)v[w] + (v[w] & m[w]) + carry;
      carry = unsigned(sum >> 64);
      v[w] = std::uint64_t(sum) | (v[w] & ~m[w]);
    }
    for (qsizetype j : *it) m[j / 64] = 0;
  }
  qsizetype length = 0;
  for (qsizetype j = 0; j < b.size(); ++j) length += ((v[j / 64] >> (j % 64)) & 1) ^ 1;
  return length;
}

class LargeInputTest : public testing::TestWithParam<TInputCase> {
protected:
  QStringList Left(int scale) const { return GetParam().Left(scale); }
  QStringList Right(int scale) const { return GetParam().Right(scale); }
};

TEST_P(LargeInputTest, IsACompleteAlignmentOnALongestCommonSubsequence) {
  const QStringList left = Left(kLargeScale), right = Right(kLargeScale);
  const TDiffItems rows = ComputeDiff(left, right, {});
  EXPECT_TRUE(diffchecks::IsCompleteAlignment(rows, left, right, {}));
  EXPECT_EQ(diffchecks::CountKind(rows, dkEqual), LcsLength(left, right));
}

TAlignTuning SplitOnly() {
  TAlignTuning t;
  t.WalkMaxCost = -1;
  t.StripWords = 3;
  t.ParallelDepth = 0;
  return t;
}

TAlignTuning EagerThreads() {
  TAlignTuning t;
  t.WalkMaxCost = 64;
  t.ParallelDepth = 3;
  t.ParallelMinCells = 1 << 12;
  return t;
}

TAlignTuning WalkOnly() {
  TAlignTuning t;
  t.WalkMaxCost = 1 << 14;
  t.DiscardUnmatched = false;
  return t;
}

TEST_P(LargeInputTest, EveryDivisionOfTheWorkGivesTheSameMatches) {
  const QStringList left = Left(kLargeScale), right = Right(kLargeScale);
  const TLineIds ids = InternKeys(left, right, {});
  const std::vector<TMatch> expected = LeftmostLcs(ids.Left, ids.Right, ids.DistinctCount);
  EXPECT_EQ(LeftmostLcs(ids.Left, ids.Right, ids.DistinctCount, SplitOnly()), expected);
  EXPECT_EQ(LeftmostLcs(ids.Left, ids.Right, ids.DistinctCount, EagerThreads()), expected);
  if (GetParam().NearlyEqual) {
    EXPECT_EQ(LeftmostLcs(ids.Left, ids.Right, ids.DistinctCount, WalkOnly()), expected);
  }
}

TEST_P(LargeInputTest, SmallerScaleEqualsTheReference) {
  const QStringList left = Left(kReferenceScale), right = Right(kReferenceScale);
  const TDiffItems expected = reference::Diff(left, right, {});
  EXPECT_EQ(ComputeDiff(left, right, {}), expected);
  // With all options off the keys are the lines themselves.
  const TLineIds ids = InternKeys(left, right, {});
  EXPECT_EQ(LeftmostLcs(ids.Left, ids.Right, ids.DistinctCount, SplitOnly()), reference::Matches(left, right));
}

INSTANTIATE_TEST_SUITE_P(LargeInputs, LargeInputTest, testing::ValuesIn(kInputs),
                         [](const testing::TestParamInfo<TInputCase>& info) { return info.param.Name; });

// Several comparisons at once, each spreading over threads of its own, give what one alone gives.
TEST(LargeInputs, ConcurrentCallsGiveTheSameRows) {
  const QStringList left = kInputs[1].Left(kLargeScale), right = kInputs[1].Right(kLargeScale);
  TDiffOptions options;
  options.IgnoreWsAmount = true;
  const TDiffItems expected = ComputeDiff(left, right, options);
  std::vector<TDiffItems> results(3);
  std::vector<std::thread> threads;
  for (TDiffItems& result : results) threads.emplace_back([&] { result = ComputeDiff(left, right, options); });
  for (std::thread& t : threads) t.join();
  for (const TDiffItems& result : results) EXPECT_EQ(result, expected);
}

}  // namespace
