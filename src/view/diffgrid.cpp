#include "view/diffgrid.h"

#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

quint64 CellKey(int col, int gridRow) { return (quint64(quint32(gridRow)) << 2) | quint64(col); }

// Hands the painting of every data cell to the grid's cell painter.
class TCellDelegate : public QStyledItemDelegate {
public:
  explicit TCellDelegate(TDiffGrid* grid) : QStyledItemDelegate(grid), FGrid(grid) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    FGrid->DrawCell(*painter, index.column(), index.row() + 1, option.rect);
  }

private:
  TDiffGrid* FGrid;
};

// The header band, grid row 0: painted by the same cell painter as the data cells.
class THeaderBand : public QHeaderView {
public:
  explicit THeaderBand(TDiffGrid* grid) : QHeaderView(Qt::Horizontal, grid), FGrid(grid) {}

protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
    FGrid->DrawCell(*painter, logicalIndex, 0, rect);
  }

private:
  TDiffGrid* FGrid;
};

}  // namespace

void TDiffGridModel::SetTextRows(const TDiffItems& items, const QStringList& left, const QStringList& right) {
  beginResetModel();
  FItems = items;
  FLeft = left;
  FRight = right;
  FRowTexts = false;
  FRows = int(items.size());
  FEditedCells.clear();
  endResetModel();
}

void TDiffGridModel::SetRowTexts(const QStringList& leftTexts, const QStringList& rightTexts) {
  beginResetModel();
  FItems.clear();
  FLeft = leftTexts;
  FRight = rightTexts;
  FRowTexts = true;
  FRows = int(std::max(leftTexts.size(), rightTexts.size()));
  FEditedCells.clear();
  endResetModel();
}

void TDiffGridModel::SetCellText(int col, int gridRow, const QString& text) {
  if (gridRow < 1 || gridRow > ItemRowCount() || col < 0 || col > 2) return;
  FEditedCells.insert(CellKey(col, gridRow), text);
  const QModelIndex changed = index(gridRow - 1, col);
  emit dataChanged(changed, changed, {Qt::DisplayRole});
}

QString TDiffGridModel::SideText(int col, int itemIndex) const {
  const QStringList& texts = col == 1 ? FLeft : FRight;
  if (FRowTexts) return itemIndex < texts.size() ? texts[itemIndex] : QString();
  const TDiffItem& item = FItems[itemIndex];
  const int line = col == 1 ? item.LeftIndex : item.RightIndex;
  return line >= 0 && line < texts.size() ? texts[line] : QString();
}

QString TDiffGridModel::CellText(int col, int gridRow) const {
  if (gridRow < 1 || gridRow > FRows || col < 0 || col > 2) return {};
  if (!FEditedCells.isEmpty()) {
    const auto edited = FEditedCells.constFind(CellKey(col, gridRow));
    if (edited != FEditedCells.constEnd()) return *edited;
  }
  if (col == 0) return QString::number(gridRow);
  return SideText(col, gridRow - 1);
}

int TDiffGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ItemRowCount(); }

int TDiffGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant TDiffGridModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  return CellText(index.column(), index.row() + 1);
}

TDiffGrid::TDiffGrid(QWidget* parent) : QTableView(parent) {
  setHorizontalHeader(new THeaderBand(this));
  setItemDelegate(new TCellDelegate(this));
  setModel(&FModel);
  setShowGrid(false);
  setWordWrap(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setCornerButtonEnabled(false);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  verticalHeader()->setMinimumSectionSize(1);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setStretchLastSection(false);
  horizontalHeader()->setSectionsClickable(false);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setMinimumSectionSize(0);
  // Where there are no cells the grid shows the button face.
  QPalette colours = palette();
  colours.setColor(QPalette::Base, colours.color(QPalette::Button));
  setPalette(colours);
}

void TDiffGrid::DrawCell(QPainter& painter, int col, int row, const QRect& rect) const {
  painter.save();
  if (FDrawCell) FDrawCell(painter, col, row, rect);
  else painter.fillRect(rect, palette().color(QPalette::Button));
  painter.restore();
  // Vertical lines and the lines of the fixed row and column always; horizontal lines between
  // data rows only when switched on.
  painter.save();
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawLine(rect.topRight(), rect.bottomRight());
  if (row == 0 || col == 0 || FHorizontalLines) painter.drawLine(rect.bottomLeft(), rect.bottomRight());
  painter.restore();
}

TDiffGrid::TPosition TDiffGrid::Position() const { return {Row(), Col(), TopRow()}; }

void TDiffGrid::Restore(const TPosition& position) {
  SetRow(std::min(position.Row, RowCount() - 1));
  SetCol(position.Col);
  SetTopRow(std::min(position.TopRow, RowCount() - 1));
}

void TDiffGrid::FillTextRows(const TDiffItems& items, const QStringList& left, const QStringList& right) {
  const TPosition position = Position();
  FModel.SetTextRows(items, left, right);
  Restore(position);
}

void TDiffGrid::FillRowTexts(const QStringList& leftTexts, const QStringList& rightTexts) {
  const TPosition position = Position();
  FModel.SetRowTexts(leftTexts, rightTexts);
  Restore(position);
}

int TDiffGrid::Row() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? current.row() + 1 : FixedRows();
}

int TDiffGrid::Col() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? current.column() : 1;
}

void TDiffGrid::SetRow(int row) {
  row = std::clamp(row, FixedRows(), RowCount() - 1);
  const QModelIndex target = FModel.index(row - 1, std::clamp(Col(), 0, ColCount() - 1));
  selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TDiffGrid::SetCol(int col) {
  const QModelIndex target = FModel.index(Row() - 1, std::clamp(col, 0, ColCount() - 1));
  selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int TDiffGrid::TopRow() const {
  const int modelRow = rowAt(0);
  return modelRow >= 0 ? modelRow + 1 : FixedRows();
}

void TDiffGrid::SetTopRow(int row) {
  row = std::clamp(row, FixedRows(), RowCount() - 1);
  verticalScrollBar()->setValue(verticalHeader()->sectionPosition(row - 1));
}

int TDiffGrid::VisibleRowCount() const {
  const int height = viewport()->height();
  int count = 0;
  for (int modelRow = std::max(rowAt(0), 0); modelRow < FModel.ItemRowCount(); ++modelRow) {
    const int top = rowViewportPosition(modelRow);
    if (top + rowHeight(modelRow) > height) break;
    if (top >= 0) ++count;
  }
  return count;
}

int TDiffGrid::RowHeight(int row) const {
  if (row == 0) return horizontalHeader()->height();
  return rowHeight(row - 1);
}

void TDiffGrid::SetRowHeight(int row, int height) {
  if (row == 0) horizontalHeader()->setFixedHeight(height);
  else setRowHeight(row - 1, height);
}

void TDiffGrid::SetRowHeights(int headerHeight, const QList<int>& heights) {
  horizontalHeader()->setFixedHeight(headerHeight);
  // Section by section with the header's updates and signals off: otherwise every resize
  // recomputes all section positions and a large comparison takes seconds.
  QHeaderView* rows = verticalHeader();
  rows->setUpdatesEnabled(false);
  const bool blocked = rows->blockSignals(true);
  const int count = int(std::min<qsizetype>(heights.size(), FModel.ItemRowCount()));
  for (int i = 0; i < count; ++i) rows->resizeSection(i, heights[i]);
  rows->blockSignals(blocked);
  rows->setUpdatesEnabled(true);
  updateGeometries();
  viewport()->update();
}

void TDiffGrid::SetDefaultRowHeight(int height) { verticalHeader()->setDefaultSectionSize(height); }

QRect TDiffGrid::CellRect(int col, int row) const {
  if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount()) return {};
  if (row == 0) {
    const QHeaderView* band = horizontalHeader();
    return QRect(band->x() + band->sectionViewportPosition(col), band->y(), band->sectionSize(col), band->height());
  }
  return visualRect(FModel.index(row - 1, col)).translated(viewport()->pos());
}

bool TDiffGrid::MouseToCell(const QPoint& point, int& col, int& row) const {
  const QHeaderView* band = horizontalHeader();
  if (band->geometry().contains(point)) {
    col = band->logicalIndexAt(point.x() - band->x());
    row = 0;
    return col >= 0;
  }
  const QModelIndex index = indexAt(point - viewport()->pos());
  if (!index.isValid()) return false;
  col = index.column();
  row = index.row() + 1;
  return true;
}

void TDiffGrid::InvalidateRow(int row) {
  if (row < 0 || row >= RowCount()) return;
  if (row == 0) {
    horizontalHeader()->viewport()->update();
    return;
  }
  const int top = rowViewportPosition(row - 1);
  viewport()->update(QRect(0, top, viewport()->width(), rowHeight(row - 1)));
}

void TDiffGrid::SetHorizontalLines(bool on) {
  FHorizontalLines = on;
  viewport()->update();
}

void TDiffGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (current.row() != previous.row() || current.column() != previous.column())
    emit SelectCell(current.column(), current.row() + 1);
}
