#include "diff/diffchecks.h"

void PrintTo(const TDiffItem& item, std::ostream* os) {
  static const char* const kinds[] = {"equal", "left-only", "right-only", "different"};
  *os << "(" << item.LeftIndex << ", " << item.RightIndex << ", " << kinds[item.Kind & 3] << ", L "
      << item.LeftChangeStart << "+" << item.LeftChangeLen << ", R " << item.RightChangeStart << "+"
      << item.RightChangeLen << ")";
}

namespace diffchecks {

TDiffOptions OptionsFromBits(int bits) {
  TDiffOptions o;
  o.IgnoreCase = bits & 1;
  o.IgnoreAllWhiteSpace = bits & 2;
  o.IgnoreWsAmount = bits & 4;
  o.IgnoreLeadingWhiteSpace = bits & 8;
  o.IgnoreTrailingWhiteSpace = bits & 16;
  o.IgnoreBlankLines = bits & 32;
  return o;
}

std::string OptionsName(const TDiffOptions& o) {
  std::string name;
  const auto add = [&](bool on, const char* what) {
    if (on) name += name.empty() ? what : std::string("+") + what;
  };
  add(o.IgnoreCase, "case");
  add(o.IgnoreAllWhiteSpace, "allws");
  add(o.IgnoreWsAmount, "wsamount");
  add(o.IgnoreLeadingWhiteSpace, "leading");
  add(o.IgnoreTrailingWhiteSpace, "trailing");
  add(o.IgnoreBlankLines, "blank");
  return name.empty() ? "none" : name;
}

namespace {

bool HasResetRange(const TDiffItem& item) {
  return item.LeftChangeStart == -1 && item.LeftChangeLen == 0 && item.RightChangeStart == -1 &&
         item.RightChangeLen == 0;
}

// Kind and fields of one row; empty when it is sound.
std::string RowFault(const TDiffItem& item, const QStringList& left, const QStringList& right,
                     const TDiffOptions& options) {
  const bool hasLeft = item.LeftIndex >= 0, hasRight = item.RightIndex >= 0;
  switch (item.Kind) {
    case dkLeftOnly:
      if (!hasLeft || hasRight) return "left-only row with wrong indices";
      break;
    case dkRightOnly:
      if (hasLeft || !hasRight) return "right-only row with wrong indices";
      break;
    case dkEqual:
      if (!hasLeft && !hasRight) return "equal row without lines";
      if ((!hasLeft || !hasRight) && !options.IgnoreBlankLines) return "one-sided equal row";
      break;
    case dkDifferent: {
      if (!hasLeft || !hasRight) return "changed row without both lines";
      const qsizetype lx = left[item.LeftIndex].size(), ly = right[item.RightIndex].size();
      if (item.LeftChangeStart != item.RightChangeStart || item.LeftChangeStart < 0) return "bad change start";
      if (item.LeftChangeLen < 0 || item.RightChangeLen < 0 || item.LeftChangeLen + item.RightChangeLen == 0)
        return "bad change length";
      if (item.LeftChangeStart + item.LeftChangeLen > lx || item.RightChangeStart + item.RightChangeLen > ly)
        return "change range past the line";
      return "";
    }
    default:
      return "unknown kind";
  }
  return HasResetRange(item) ? "" : "change range on a row that is not changed";
}

}  // namespace

testing::AssertionResult IsCompleteAlignment(const TDiffItems& items, const QStringList& left,
                                             const QStringList& right, const TDiffOptions& options) {
  qint64 nextLeft = 0, nextRight = 0;
  for (qsizetype r = 0; r < items.size(); ++r) {
    const TDiffItem& item = items[r];
    const std::string fault = RowFault(item, left, right, options);
    if (!fault.empty()) return testing::AssertionFailure() << "row " << r << ": " << fault;
    if (item.LeftIndex >= 0 && item.LeftIndex != nextLeft++)
      return testing::AssertionFailure() << "row " << r << ": left index " << item.LeftIndex << " out of order";
    if (item.RightIndex >= 0 && item.RightIndex != nextRight++)
      return testing::AssertionFailure() << "row " << r << ": right index " << item.RightIndex << " out of order";
  }
  if (nextLeft != left.size() || nextRight != right.size())
    return testing::AssertionFailure() << "lines missing: " << nextLeft << " of " << left.size() << " left, "
                                       << nextRight << " of " << right.size() << " right";
  return testing::AssertionSuccess();
}

qsizetype CountKind(const TDiffItems& items, TDiffKind kind) {
  return std::count_if(items.begin(), items.end(), [kind](const TDiffItem& i) { return i.Kind == kind; });
}

}  // namespace diffchecks
