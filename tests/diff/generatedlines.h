#pragma once
// Deterministic line lists for the tests that need more than a handful of lines.

#include <QStringList>

namespace generated {

// Source-code-like lines: blank lines, braces and a few frequent statements among mostly unique ones.
QStringList SourceLines(int count, unsigned seed);
// Lines drawn from only `distinct` different texts: long runs of ties for the alignment.
QStringList FewDistinct(int count, int distinct, unsigned seed);
// A copy with about `edits` lines changed, inserted or deleted at random places.
QStringList WithEdits(QStringList lines, int edits, unsigned seed);
// A copy with lines [from, from + length) moved to start at `to` of what remains.
QStringList WithMovedBlock(QStringList lines, qsizetype from, qsizetype length, qsizetype to);

}  // namespace generated
