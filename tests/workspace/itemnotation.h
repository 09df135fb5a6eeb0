#pragma once
// Rows written as in the examples: E, D, L, R for equal, different, left-only, right-only.

#include "diff/diffengine.h"

#include <QString>

namespace notation {

inline TDiffKind KindOf(QChar letter) {
  switch (letter.unicode()) {
    case 'D': return dkDifferent;
    case 'L': return dkLeftOnly;
    case 'R': return dkRightOnly;
    default: return dkEqual;
  }
}

// Kinds only, for navigation: "EDDELE".
inline TDiffItems Kinds(const QString& letters) {
  TDiffItems items;
  for (QChar letter : letters) {
    TDiffItem item;
    item.Kind = KindOf(letter);
    items.append(item);
  }
  return items;
}

inline TDiffItem Row(int left, int right, char kind) {
  TDiffItem item;
  item.LeftIndex = left;
  item.RightIndex = right;
  item.Kind = KindOf(QChar(kind));
  return item;
}

}  // namespace notation
