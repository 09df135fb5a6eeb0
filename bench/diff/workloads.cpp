#include "workloads.h"

#include <random>

namespace workloads {
namespace {

const char* const kTypes[] = {"int", "auto", "const QString&", "std::size_t", "double", "bool", "qint64"};
const char* const kWords[] = {"value", "count", "index", "buffer", "result", "line", "item", "offset",
                              "length", "width", "height", "name", "path", "key", "node", "total"};
const char* const kCalls[] = {"compute", "update", "find", "append", "resize", "parse", "load", "store",
                              "measure", "render", "merge", "split"};
const char* const kCommon[] = {"}",          "  }",        "    }",       "{",          "  return true;",
                               "    break;", "  } else {", "#include <QString>", "    return result;",
                               "  return false;", "    continue;", "// ---------------------------------"};

QString Identifier(std::mt19937& rng) {
  return QString::fromLatin1(kWords[rng() % std::size(kWords)]) + QString::number(rng() % 500);
}

QString Statement(std::mt19937& rng) {
  const QString indent(2 * (1 + rng() % 4), u' ');
  switch (rng() % 4) {
    case 0:
      return indent + QString::fromLatin1(kTypes[rng() % std::size(kTypes)]) + u' ' + Identifier(rng) + " = " +
             QString::fromLatin1(kCalls[rng() % std::size(kCalls)]) + u'(' + Identifier(rng) + ", " +
             QString::number(rng() % 1000) + ");";
    case 1: return indent + "if (" + Identifier(rng) + " < " + Identifier(rng) + ") {";
    case 2: return indent + Identifier(rng) + " += " + Identifier(rng) + " * " + QString::number(rng() % 100) + u';';
    default: return indent + "// " + Identifier(rng) + " keeps the " + Identifier(rng) + " of the row";
  }
}

QString SourceLine(std::mt19937& rng) {
  const unsigned roll = rng() % 100;
  if (roll < 10) return QString();
  if (roll < 25) return QString::fromLatin1(kCommon[rng() % std::size(kCommon)]);
  return Statement(rng);
}

QStringList LogLines(int count, const char* worker, unsigned seed) {
  std::mt19937 rng(seed);
  QStringList lines;
  lines.reserve(count);
  for (int i = 0; i < count; ++i)
    lines.append(QStringLiteral("2024-05-%1 %2:%3 INFO [%4] request %5 handled in %6 ms")
                     .arg(1 + i / 5000)
                     .arg(i / 60 % 24, 2, 10, QChar(u'0'))
                     .arg(i % 60, 2, 10, QChar(u'0'))
                     .arg(QLatin1String(worker))
                     .arg(i)
                     .arg(rng() % 900));
  return lines;
}

}  // namespace

QStringList SourceLikeLines(int count, unsigned seed) {
  std::mt19937 rng(seed);
  QStringList lines;
  lines.reserve(count);
  for (int i = 0; i < count; ++i) lines.append(SourceLine(rng));
  return lines;
}

TWorkload NearlyEqual() {
  TWorkload w{"a-nearly-equal", SourceLikeLines(150000, 1), {}};
  QStringList right = w.Left;
  std::mt19937 rng(2);
  const int edits = int(right.size() / 200);
  for (int e = 0; e < edits; ++e) {
    const qsizetype at = rng() % right.size();
    switch (rng() % 3) {
      case 0: right[at] = Statement(rng); break;
      case 1: right.insert(at, Statement(rng)); break;
      default: right.removeAt(at);
    }
  }
  w.Right = right;
  return w;
}

TWorkload Unrelated() { return {"b-unrelated", LogLines(20000, "left", 3), LogLines(20000, "right", 4)}; }

TWorkload MovedBlock() {
  TWorkload w{"c-moved-block", SourceLikeLines(100000, 5), {}};
  QStringList right = w.Left;
  const qsizetype from = 20000, length = 10000, to = 75000;
  const QStringList block = right.mid(from, length);
  right.remove(from, length);
  for (qsizetype i = 0; i < length; ++i) right.insert(to + i, block[i]);
  w.Right = right;
  return w;
}

TWorkload UnrelatedSource() { return {"d-unrelated-source", SourceLikeLines(20000, 6), SourceLikeLines(20000, 7)}; }

std::vector<TWorkload> All() { return {NearlyEqual(), Unrelated(), MovedBlock(), UnrelatedSource()}; }

}  // namespace workloads
