#include "diff/lcsrow.h"

#include <algorithm>

#if defined(__x86_64__) || defined(_M_X64)
#include <immintrin.h>
#define VARNOQUE_ADD_WITH_CARRY 1
#endif

// The row of the table is held as a bit vector: bit k is 0 exactly where the LCS length grows from
// column k to column k + 1. Each line of a updates it with V' = (V + (V & M)) | (V & ~M), M being
// the columns whose id equals the line's (Hyyrö's formulation). The addition carries from word to
// word, so the table is walked strip by strip of columns, each row's carry kept for the next strip.
//
// Outside the band every row of a strip is skipped: above the band (the strip lies right of it) the
// bits stay all ones and a carry would only run off the end of the row; below it (the strip lies
// left of it) no carry arrives and nothing matches. So skipping equals removing the matches there,
// which keeps every path inside the band and can only lower other values.

namespace {

using Word = std::uint64_t;
constexpr std::int64_t kWordBits = 64;

// One mask of nw words per distinct id in columns [c0, c1).
void BuildStripMasks(std::span<const std::int32_t> b, std::int64_t c0, std::int64_t c1, std::int64_t nw,
                     TLcsScratch& s) {
  s.Masks.clear();
  s.StripIds.clear();
  for (std::int64_t c = c0; c < c1; ++c) {
    std::int32_t& local = s.LocalOfId[b[c]];
    if (local < 0) {
      local = static_cast<std::int32_t>(s.StripIds.size());
      s.StripIds.push_back(b[c]);
      s.Masks.resize(s.Masks.size() + nw, 0);
    }
    const std::int64_t bit = c - c0;
    s.Masks[local * nw + bit / kWordBits] |= Word(1) << (bit % kWordBits);
  }
}

void ClearStripMasks(TLcsScratch& s) {
  for (std::int32_t id : s.StripIds) s.LocalOfId[id] = -1;
}

// A line without a match in the strip only passes the incoming carry on.
Word AddCarry(Word* bits, std::int64_t nw, Word carry) {
  for (std::int64_t w = 0; w < nw && carry; ++w) {
    const Word v = bits[w];
    const Word sum = v + carry;
    carry = sum < v;
    bits[w] = sum | v;
  }
  return carry;
}

Word UpdateRow(Word* bits, const Word* mask, std::int64_t nw, Word carry) {
#ifdef VARNOQUE_ADD_WITH_CARRY
  // The add-with-carry instruction keeps the word-to-word carry chain at one step per word.
  unsigned char c = static_cast<unsigned char>(carry);
  for (std::int64_t w = 0; w < nw; ++w) {
    const Word v = bits[w];
    const Word m = mask[w];
    unsigned long long sum;
    c = _addcarry_u64(c, v, v & m, &sum);
    bits[w] = sum | (v & ~m);
  }
  return c;
#else
  for (std::int64_t w = 0; w < nw; ++w) {
    const Word v = bits[w];
    const Word m = mask[w];
    const Word plus = v + (v & m);
    const Word carried = plus + carry;
    carry = Word(plus < v) | Word(carried < plus);
    bits[w] = carried | (v & ~m);
  }
  return carry;
#endif
}

void CountRow(const std::vector<Word>& bits, std::int64_t nb, std::vector<std::int32_t>& row) {
  std::int32_t length = 0;
  row[0] = 0;
  for (std::int64_t k = 0; k < nb; ++k) {
    length += ((bits[k / kWordBits] >> (k % kWordBits)) & 1) ^ 1;
    row[k + 1] = length;
  }
}

}  // namespace

void LcsRow(std::span<const std::int32_t> a, std::span<const std::int32_t> b, TDiagonalBand band,
            std::int32_t stripWords, TLcsScratch& s, std::vector<std::int32_t>& row) {
  const auto na = static_cast<std::int64_t>(a.size());
  const auto nb = static_cast<std::int64_t>(b.size());
  row.assign(nb + 1, 0);
  if (na == 0 || nb == 0) return;
  s.Bits.assign((nb + kWordBits - 1) / kWordBits, ~Word(0));
  s.Carry.assign(na, 0);
  const std::int64_t stripColumns = kWordBits * std::max<std::int32_t>(1, stripWords);
  for (std::int64_t c0 = 0; c0 < nb; c0 += stripColumns) {
    const std::int64_t c1 = std::min(nb, c0 + stripColumns);
    const std::int64_t r0 = std::max<std::int64_t>(0, c0 - band.Hi);
    const std::int64_t r1 = std::min<std::int64_t>(na - 1, c1 - 1 - band.Lo);
    if (r0 > r1) continue;
    const std::int64_t nw = (c1 - c0 + kWordBits - 1) / kWordBits;
    BuildStripMasks(b, c0, c1, nw, s);
    Word* bits = s.Bits.data() + c0 / kWordBits;
    for (std::int64_t r = r0; r <= r1; ++r) {
      const std::int32_t local = s.LocalOfId[a[r]];
      if (local >= 0) s.Carry[r] = static_cast<std::uint8_t>(UpdateRow(bits, &s.Masks[local * nw], nw, s.Carry[r]));
      else if (s.Carry[r]) s.Carry[r] = static_cast<std::uint8_t>(AddCarry(bits, nw, 1));
    }
    ClearStripMasks(s);
  }
  CountRow(s.Bits, nb, row);
}
