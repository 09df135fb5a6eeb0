#pragma once
// The diff grid: a table view over the rows of a comparison, addressed like a string grid.
// Grid row 0 is the header band (the table's horizontal header); grid row r >= 1 shows item r - 1
// (model row r - 1). Column 0 holds the row number, columns 1 and 2 the left and right text.
// Cell texts come from a model that reads the row list and the two sides directly: no per-cell
// objects, so a comparison of 150,000 lines costs no more than its rows.

#include "diff/diffengine.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QHeaderView>
#include <QStringList>
#include <QTableView>

#include <functional>

class TDiffGridModel : public QAbstractTableModel {
  Q_OBJECT

public:
  using QAbstractTableModel::QAbstractTableModel;

  // Text rows: the cells show the lines of the two sides as they are now (the lists are shared,
  // not copied, and later changes of the sides do not reach the grid until it is filled again).
  void SetTextRows(const TDiffItems& items, const QStringList& left, const QStringList& right);
  // Rows with texts of their own, one per row and side (the folder comparison).
  void SetRowTexts(const QStringList& leftTexts, const QStringList& rightTexts);
  // Replaces the text of one cell (an edited line) until the grid is filled again.
  void SetCellText(int col, int gridRow, const QString& text);
  QString CellText(int col, int gridRow) const;
  // Rows of items (at least one: an empty grid keeps one empty row).
  int ItemRowCount() const { return FRows > 0 ? FRows : 1; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

private:
  QString SideText(int col, int itemIndex) const;

  TDiffItems FItems;
  QStringList FLeft;
  QStringList FRight;
  bool FRowTexts = false;
  int FRows = 0;
  QHash<quint64, QString> FEditedCells;
};

class TDiffGrid : public QTableView {
  Q_OBJECT

public:
  // Paints one cell, fixed cells included; the rectangle is in the painter's coordinates.
  using TDrawCell = std::function<void(QPainter&, int col, int row, const QRect&)>;

  explicit TDiffGrid(QWidget* parent = nullptr);

  TDiffGridModel& Model() { return FModel; }
  const TDiffGridModel& Model() const { return FModel; }
  void SetDrawCell(TDrawCell drawCell) { FDrawCell = std::move(drawCell); }
  void DrawCell(QPainter& painter, int col, int row, const QRect& rect) const;

  // Refills the rows, keeping the current row, column and top row where they still exist.
  void FillTextRows(const TDiffItems& items, const QStringList& left, const QStringList& right);
  void FillRowTexts(const QStringList& leftTexts, const QStringList& rightTexts);
  QString Cells(int col, int row) const { return FModel.CellText(col, row); }

  int RowCount() const { return FModel.ItemRowCount() + 1; }
  int ColCount() const { return 3; }
  int FixedRows() const { return 1; }
  int Row() const;
  int Col() const;
  void SetRow(int row);
  void SetCol(int col);
  int TopRow() const;
  void SetTopRow(int row);
  // Rows below the header that are wholly visible at the present scroll position.
  int VisibleRowCount() const;

  int ColWidth(int col) const { return horizontalHeader()->sectionSize(col); }
  void SetColWidth(int col, int width) { horizontalHeader()->resizeSection(col, width); }
  int RowHeight(int row) const;
  void SetRowHeight(int row, int height);
  // Sets every row height at once: the header band, then one height per item row.
  void SetRowHeights(int headerHeight, const QList<int>& heights);
  void SetDefaultRowHeight(int height);

  // Cell rectangle in the grid's own coordinates; empty for cells outside the grid.
  QRect CellRect(int col, int row) const;
  // The cell under a point in the grid's own coordinates; false when there is none.
  bool MouseToCell(const QPoint& point, int& col, int& row) const;
  void InvalidateRow(int row);

  bool HorizontalLines() const { return FHorizontalLines; }
  void SetHorizontalLines(bool on);

signals:
  // The current cell moved to another row or column.
  void SelectCell(int col, int row);

protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
  struct TPosition {
    int Row;
    int Col;
    int TopRow;
  };
  TPosition Position() const;
  void Restore(const TPosition& position);

  TDiffGridModel FModel;
  TDrawCell FDrawCell;
  bool FHorizontalLines = true;
};
