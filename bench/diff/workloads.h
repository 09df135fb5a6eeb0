#pragma once
// The benchmark workloads, generated from fixed seeds so every run compares the same files.

#include <QStringList>

#include <vector>

namespace workloads {

struct TWorkload {
  const char* Name;  // also the file name stem: <name>-left.txt, <name>-right.txt
  QStringList Left;
  QStringList Right;
};

// Lines that look like C++ source: indentation, braces, blank lines, a few very common lines and
// many nearly unique statements.
QStringList SourceLikeLines(int count, unsigned seed);

// (a) 150,000 source lines against a copy with 0.5 % of its lines changed, inserted or deleted.
TWorkload NearlyEqual();
// (b) 20,000 log lines against 20,000 log lines none of which occurs on the other side.
TWorkload Unrelated();
// (c) 100,000 source lines against the same lines with a 10,000-line block moved elsewhere.
TWorkload MovedBlock();
// (d) two independently generated source files of 20,000 lines: only the common lines (braces,
// blank lines, frequent statements) can match.
TWorkload UnrelatedSource();

std::vector<TWorkload> All();

}  // namespace workloads
