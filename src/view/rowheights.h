#pragma once
// Row heights of the grid: a row is as tall as the word-wrapped text of its text cells, and never
// lower than the base row height of the grid font.

#include <QCache>
#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QString>
#include <optional>

class TRowHeightMeasurer {
public:
  explicit TRowHeightMeasurer(const QFont& font);

  // The text height of "Wg" plus 4: the lowest height of a data row.
  int BaseRowHeight() const { return FBaseRowHeight; }
  // The height of the text word-wrapped into a box `boxWidth` pixels wide, ampersands and tabs
  // taken as plain characters.
  int CellHeight(const QString& text, int boxWidth);
  // The height of a grid row from its two text cells and the widths of their columns.
  int RowHeight(const QString& leftText, const QString& rightText, int leftColumnWidth, int rightColumnWidth);

private:
  struct TCacheKey {
    QString Text;
    int Width;
    friend bool operator==(const TCacheKey&, const TCacheKey&) = default;
    friend size_t qHash(const TCacheKey& key, size_t seed = 0) { return qHashMulti(seed, key.Text, key.Width); }
  };

  bool FitsOnOneLine(const QString& text, int boxWidth) const;
  std::optional<int> CountPlainAsciiLines(const QString& text, int boxWidth) const;
  int HeightOfLines(int lineCount);
  int MeasureWrapped(const QString& text, int boxWidth) const;
  int CellRowHeight(const QString& text, int columnWidth);

  QFontMetrics FMetrics;
  int FBaseRowHeight = 0;
  // The width of every printable ASCII character in a fixed-pitch font; 0 when they differ.
  qreal FAsciiAdvance = 0;
  // How far a line's last glyph may reach past its advance, plus a pixel to spare.
  qreal FEdgeSlack = 0;
  QHash<int, int> FHeightOfLines;
  QCache<TCacheKey, int> FCache;
};

// The height of the text word-wrapped into a box `boxWidth` pixels wide, measured by the toolkit.
int MeasureWrappedTextHeight(const QFontMetrics& metrics, const QString& text, int boxWidth);
