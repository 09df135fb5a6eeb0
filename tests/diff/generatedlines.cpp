#include "diff/generatedlines.h"

#include <random>

namespace generated {
namespace {

QString Statement(std::mt19937& rng) {
  static const char* const words[] = {"value", "count", "index", "row", "line", "width", "key", "node"};
  return QString(2 * (1 + rng() % 3), u' ') + QString::fromLatin1(words[rng() % 8]) + QString::number(rng() % 300) +
         " = " + QString::fromLatin1(words[rng() % 8]) + QString::number(rng() % 300) + u';';
}

}  // namespace

QStringList SourceLines(int count, unsigned seed) {
  static const char* const common[] = {"}", "  }", "{", "  return true;", "    break;", "  } else {"};
  std::mt19937 rng(seed);
  QStringList lines;
  for (int i = 0; i < count; ++i) {
    const unsigned roll = rng() % 100;
    if (roll < 10) lines.append(QString());
    else if (roll < 25) lines.append(QString::fromLatin1(common[rng() % 6]));
    else lines.append(Statement(rng));
  }
  return lines;
}

QStringList FewDistinct(int count, int distinct, unsigned seed) {
  std::mt19937 rng(seed);
  QStringList lines;
  for (int i = 0; i < count; ++i) lines.append(QStringLiteral("line %1").arg(rng() % distinct));
  return lines;
}

QStringList WithEdits(QStringList lines, int edits, unsigned seed) {
  std::mt19937 rng(seed);
  for (int e = 0; e < edits && !lines.isEmpty(); ++e) {
    const qsizetype at = rng() % lines.size();
    switch (rng() % 3) {
      case 0: lines[at] = Statement(rng); break;
      case 1: lines.insert(at, Statement(rng)); break;
      default: lines.removeAt(at);
    }
  }
  return lines;
}

QStringList WithMovedBlock(QStringList lines, qsizetype from, qsizetype length, qsizetype to) {
  const QStringList block = lines.mid(from, length);
  lines.remove(from, length);
  for (qsizetype i = 0; i < block.size(); ++i) lines.insert(to + i, block[i]);
  return lines;
}

}  // namespace generated
