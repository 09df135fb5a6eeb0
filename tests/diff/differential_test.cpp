// The engine against the literal reference: random small inputs under every option combination,
// and random id sequences under every division of the work, row for row and match for match.

#include "diff/diffchecks.h"
#include "diff/leftmostlcs.h"
#include "diff/referencediff.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Lines that the options treat differently: case variants, TAB/SPACE runs at every place, blank
// and control-only lines, and characters that look like space but are not.
const QStringList kLinePool = {
    QStringLiteral("a"),       QStringLiteral("A"),      QStringLiteral("b"),       QStringLiteral("B"),
    QStringLiteral("a b"),     QStringLiteral("a  b"),   QStringLiteral("a\tb"),    QStringLiteral("ab"),
    QStringLiteral("A B"),     QStringLiteral(" a"),     QStringLiteral("\ta"),     QStringLiteral("a "),
    QStringLiteral("a\t"),     QStringLiteral(" a b "),  QStringLiteral(""),        QStringLiteral(" "),
    QStringLiteral("\t"),      QStringLiteral(" \t "),   QStringLiteral("\f"),      QStringLiteral("\x01 "),
    QStringLiteral("\u00A0a"), QStringLiteral("\u00C4"), QStringLiteral("\u00E4"),  QStringLiteral("x\r"),
    QStringLiteral("Hello"),   QStringLiteral("help"),   QStringLiteral("abcdef"),  QStringLiteral("abXYef"),
};

QStringList RandomLines(std::mt19937& rng, const QStringList& alphabet, int maxCount) {
  QStringList lines;
  const int count = std::uniform_int_distribution<int>(0, maxCount)(rng);
  std::uniform_int_distribution<qsizetype> pick(0, alphabet.size() - 1);
  for (int i = 0; i < count; ++i) lines.append(alphabet[pick(rng)]);
  return lines;
}

QStringList RandomAlphabet(std::mt19937& rng) {
  QStringList pool = kLinePool;
  std::shuffle(pool.begin(), pool.end(), rng);
  return pool.first(std::uniform_int_distribution<qsizetype>(1, 8)(rng));
}

TEST(DifferentialTest, RandomSmallInputsUnderEveryOptionCombination) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 3000; ++round) {
    const QStringList alphabet = RandomAlphabet(rng);
    const QStringList left = RandomLines(rng, alphabet, 9);
    const QStringList right = RandomLines(rng, alphabet, 9);
    for (int bits = 0; bits < 64; ++bits) {
      const TDiffOptions options = diffchecks::OptionsFromBits(bits);
      const TDiffItems expected = reference::Diff(left, right, options);
      const TDiffItems actual = ComputeDiff(left, right, options);
      ASSERT_EQ(actual, expected) << "round " << round << ", options " << diffchecks::OptionsName(options)
                                  << "\nleft:  " << left.join(u'|').toStdString()
                                  << "\nright: " << right.join(u'|').toStdString();
    }
  }
}

// Each division of the work must give the same matches; the settings push inputs of a few hundred
// lines through every path: the walk alone, the bit-parallel split alone with one-word strips
// (so strips, words and bands all have edges inside the input), a band guessed too narrow,
// threads at every level, and with or without discarding unmatched lines.
struct TTuningCase {
  const char* Name;
  TAlignTuning Tuning;
  friend void PrintTo(const TTuningCase& c, std::ostream* os) { *os << c.Name; }
};

TAlignTuning Tuned(std::int64_t walkMaxCost, std::int32_t stripWords, int parallelDepth, bool discard) {
  TAlignTuning t;
  t.WalkMaxCost = walkMaxCost;
  t.StripWords = stripWords;
  t.ParallelDepth = parallelDepth;
  t.ParallelMinCells = 0;
  t.DiscardUnmatched = discard;
  return t;
}

const TTuningCase kTunings[] = {
    {"Default", TAlignTuning{}},
    {"WalkOnly", Tuned(1 << 20, 8, 0, false)},
    {"SplitOnlyNarrowStrips", Tuned(-1, 1, 0, false)},
    {"SplitOnlyTwoWordStrips", Tuned(-1, 2, 0, true)},
    {"SmallWalkNarrowGuess", Tuned(2, 1, 0, false)},
    {"WalkBelowTenThreaded", Tuned(10, 1, 2, true)},
    {"SplitOnlyThreaded", Tuned(-1, 3, 2, false)},
};

class TuningTest : public testing::TestWithParam<TTuningCase> {};

QStringList AsKeys(const std::vector<std::int32_t>& ids) {
  QStringList keys;
  for (std::int32_t id : ids) keys.append(QString::number(id));
  return keys;
}

std::vector<std::int32_t> RandomIds(std::mt19937& rng, int count, int alphabet) {
  std::vector<std::int32_t> ids(count);
  std::uniform_int_distribution<int> pick(0, alphabet - 1);
  for (auto& id : ids) id = pick(rng);
  return ids;
}

// A copy with a few lines changed, inserted, deleted, or a block moved: the nearly equal inputs
// where the walk and narrow bands take over.
std::vector<std::int32_t> Edited(std::mt19937& rng, std::vector<std::int32_t> ids, int alphabet) {
  const int edits = std::uniform_int_distribution<int>(0, 12)(rng);
  std::uniform_int_distribution<int> what(0, 3), id(0, alphabet - 1);
  for (int e = 0; e < edits; ++e) {
    const auto at = ids.empty() ? 0 : std::uniform_int_distribution<std::size_t>(0, ids.size() - 1)(rng);
    switch (what(rng)) {
      case 0:
        if (!ids.empty()) ids[at] = id(rng);
        break;
      case 1: ids.insert(ids.begin() + at, id(rng)); break;
      case 2:
        if (!ids.empty()) ids.erase(ids.begin() + at);
        break;
      default: {
        const std::size_t len = std::min<std::size_t>(ids.size() - at, 20);
        std::vector<std::int32_t> block(ids.begin() + at, ids.begin() + at + len);
        ids.erase(ids.begin() + at, ids.begin() + at + len);
        const auto to = std::uniform_int_distribution<std::size_t>(0, ids.size())(rng);
        ids.insert(ids.begin() + to, block.begin(), block.end());
      }
    }
  }
  return ids;
}

TEST_P(TuningTest, MatchesEqualTheReferenceOnRandomIdSequences) {
  std::mt19937 rng(777);
  for (int round = 0; round < 160; ++round) {
    const int alphabet = std::uniform_int_distribution<int>(1, round % 2 ? 4 : 40)(rng);
    const int size = std::uniform_int_distribution<int>(0, 260)(rng);
    const std::vector<std::int32_t> left = RandomIds(rng, size, alphabet);
    const std::vector<std::int32_t> right =
        round % 3 == 0 ? RandomIds(rng, std::uniform_int_distribution<int>(0, 260)(rng), alphabet)
                       : Edited(rng, left, alphabet);
    const std::vector<TMatch> actual = LeftmostLcs(left, right, alphabet, GetParam().Tuning);
    ASSERT_EQ(actual, reference::Matches(AsKeys(left), AsKeys(right)))
        << "round " << round << ", " << left.size() << " against " << right.size() << " lines";
  }
}

INSTANTIATE_TEST_SUITE_P(DifferentialTest, TuningTest, testing::ValuesIn(kTunings),
                         [](const testing::TestParamInfo<TTuningCase>& info) { return info.param.Name; });

}  // namespace
