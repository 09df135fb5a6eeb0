// The main window's grid: painting the cells, the current-row frame, row heights and the column
// layout that keeps the two text columns filling the window.

#include "app/tfrmmain.h"
#include "view/colorvalue.h"
#include "view/diffgrid.h"
#include "view/highlightpainter.h"
#include "view/highlightranges.h"
#include "view/rowheights.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>

#include <cmath>

namespace {

constexpr int kLineNumberWidth = 120;

// Rounds to the nearest integer, halves to the even neighbour.
int RoundHalfEven(double value) { return int(std::nearbyint(value)); }

// A text ends in the folder view's mark of the newer file.
bool HasNewMark(const QString& text) {
  return text.size() >= 4 && text.right(4).compare(QLatin1String(" new"), Qt::CaseInsensitive) == 0;
}

void DrawNewBadge(QPainter& painter, const QRect& cell, const QColor& background) {
  const QFontMetrics metrics = painter.fontMetrics();
  const int width = metrics.horizontalAdvance(QStringLiteral("new")) + 8;
  QRect badge;
  badge.setRight(cell.left() + cell.width() - 4 - 1);
  badge.setLeft(badge.right() + 1 - width);
  badge.setTop(cell.top() + 2);
  badge.setHeight(metrics.height() + 4);
  painter.fillRect(badge, background);
  painter.setPen(Qt::black);
  painter.drawText(badge, Qt::AlignCenter | Qt::TextSingleLine, QStringLiteral("new"));
}

}  // namespace

void TfrmMain::CreateGrid() {
  grdDiff = new TDiffGrid(centralWidget());
  grdDiff->setObjectName(QStringLiteral("grdDiff"));
  QFont font(QStringLiteral("Courier New"));
  font.setPointSize(11);
  font.setStyleHint(QFont::TypeWriter);
  grdDiff->setFont(font);
  grdDiff->SetColWidth(0, 100);
  grdDiff->SetColWidth(1, 432);
  grdDiff->SetColWidth(2, 573);
  grdDiff->SetDrawCell([this](QPainter& painter, int col, int row, const QRect& rect) {
    grdDiffDrawCell(painter, col, row, rect);
  });
  connect(grdDiff, &TDiffGrid::SelectCell, this, [this](int col, int row) { grdDiffSelectCell(col, row); });
  connect(grdDiff, &TDiffGrid::doubleClicked, this, [this] { RunCommand([this] { grdDiffDblClick(); }); });
  grdDiff->viewport()->installEventFilter(this);
  grdDiff->horizontalHeader()->viewport()->installEventFilter(this);
  grdDiff->installEventFilter(this);
}

// System colours come from the application's palette: the grid's own palette paints the area
// without cells in the button face.
QColor TfrmMain::ColorOf(TColorValue value) const { return ColorFromValue(value, QApplication::palette(grdDiff)); }

QColor TfrmMain::RowBackground(TDiffKind kind) const {
  switch (kind) {
    case dkLeftOnly: return ColorOf(fColorAddedLines);
    case dkRightOnly: return ColorOf(fColorRemovedLines);
    case dkDifferent: return ColorOf(fColorChangedLines);
    default: return ColorOf(clWindow);
  }
}

void TfrmMain::grdDiffDrawCell(QPainter& painter, int col, int row, const QRect& rect) {
  const QColor windowText = ColorOf(clWindowText);
  painter.setFont(grdDiff->font());
  painter.setClipRect(rect);
  if (row == 0) {
    painter.fillRect(rect, ColorOf(clBtnFace));
    return;  // the header band carries no text; the path boxes lie over it
  }
  const TDiffItem item = row - 1 < FDiffItems.size() ? FDiffItems[row - 1] : TDiffItem();
  const QColor background = RowBackground(item.Kind);
  painter.fillRect(rect, background);
  const QString text = grdDiff->Cells(col, row);
  const bool textCell = col == 1 || col == 2;
  if (!FFolderMode && item.Kind == dkDifferent && textCell && !text.isEmpty()) {
    THighlightRanges ranges;
    if (item.LeftIndex >= 0 && item.RightIndex >= 0)
      ranges = ComputeHighlightRanges(text, grdDiff->Cells(3 - col, row), fIgnoreCase);
    PaintHighlightedCell(painter, rect, text, ranges, windowText, background, windowText,
                         ColorOf(fColorDifferentTextInLine));
    DrawCurrentRowFrame(painter, col, row, rect);
    return;
  }
  const bool badge = FFolderMode && textCell && HasNewMark(text);
  painter.setPen(windowText);
  painter.drawText(rect.adjusted(2, 2, -2, -2), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                   badge ? text.chopped(4) : text);
  if (badge) DrawNewBadge(painter, rect, ColorOf(fColorDifferentTextInLine));
  DrawCurrentRowFrame(painter, col, row, rect);
}

void TfrmMain::DrawCurrentRowFrame(QPainter& painter, int col, int row, const QRect& rect) {
  if (row <= 0 || row >= grdDiff->RowCount() || row != grdDiff->Row()) return;
  const QRect frame = rect.adjusted(1, 1, -1, -1);
  const int x1 = frame.left();
  const int y1 = frame.top();
  const int x2 = frame.right();
  const int y2 = frame.bottom();
  painter.save();
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(ColorOf(clWindowText), 2));
  painter.drawLine(x1, y1, x2, y1);
  painter.drawLine(x1, y2, x2, y2);
  if (col == 0) painter.drawLine(x1, y1, x1, y2);
  if (col == grdDiff->ColCount() - 1) painter.drawLine(x2, y1, x2, y2);
  painter.restore();
}

void TfrmMain::InvalidateGridRow(int row) { grdDiff->InvalidateRow(row); }

void TfrmMain::grdDiffSelectCell(int col, int row) {
  Q_UNUSED(col);
  if (row == FLastFramedRow) return;
  InvalidateGridRow(FLastFramedRow);
  InvalidateGridRow(row);
  FLastFramedRow = row;
}

int TfrmMain::MeasureRowHeight(int row) {
  int height = FBaseRowHeight;
  for (int col = 1; col < grdDiff->ColCount(); ++col) {
    const QString text = grdDiff->Cells(col, row);
    if (!text.isEmpty()) height = std::max(height, FRowHeights->CellHeight(text, grdDiff->ColWidth(col) - 4));
  }
  return height;
}

void TfrmMain::UpdateRowHeight(int row) { grdDiff->SetRowHeight(row, MeasureRowHeight(row)); }

void TfrmMain::UpdateAllRowHeights() {
  if (!grdDiff || !FRowHeights) return;
  QList<int> heights(grdDiff->RowCount() - 1);
  for (int row = 1; row < grdDiff->RowCount(); ++row) heights[row - 1] = MeasureRowHeight(row);
  grdDiff->SetRowHeights(RoundHalfEven(1.5 * FBaseRowHeight), heights);
}

void TfrmMain::grdDiffMouseDown(QWidget* surface, QMouseEvent* event) {
  FInColResize = false;
  if (event->button() != Qt::LeftButton) return;
  const QPoint point = surface->mapTo(grdDiff, event->position().toPoint());
  int col = -1;
  int row = -1;
  if (!grdDiff->MouseToCell(point, col, row)) return;
  FLastMouseCol = col;
  FLastMouseRow = row;
  const QRect cell = grdDiff->CellRect(col, row);
  if (row == 0 && col >= 0 && col < grdDiff->ColCount() - 1 && std::abs(point.x() - (cell.left() + cell.width())) <= 4)
    FInColResize = true;
}

void TfrmMain::grdDiffMouseUp(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && FInColResize) UpdateAllRowHeights();
  FInColResize = false;
}

bool TfrmMain::LineNumbersShown() const { return grdDiff->ColWidth(0) > 0; }

void TfrmMain::SetLineNumbersShown(bool shown) {
  grdDiff->SetColWidth(0, shown ? kLineNumberWidth : 0);
  StaticText1->setVisible(shown);
}

// Width that the grid's columns may share: the grid without its frame.
int TfrmMain::GridClientWidth() const { return grdDiff->width() - 2 * grdDiff->frameWidth(); }

void TfrmMain::FormResize() {
  grdDiff->SetColWidth(1, RoundHalfEven((GridClientWidth() - grdDiff->ColWidth(0)) / 2.0));
}

void TfrmMain::Timer1Timer() {
  const int col0 = grdDiff->ColWidth(0);
  const int col1 = grdDiff->ColWidth(1);
  if (col1 == iColWidth1 && grdDiff->ColWidth(2) == iColWidth2) return;
  iColWidth1 = col1;
  iColWidth2 = grdDiff->ColWidth(2);
  const int scrollBar = Panel2->isHidden() ? grdDiff->style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0;
  const int col2 = GridClientWidth() - col1 - col0 - scrollBar;
  const bool widthChanged = col2 != grdDiff->ColWidth(2);
  grdDiff->SetColWidth(2, col2);
  // Rows are measured again for the new width, so no wrapped line is cut off; while a column
  // border is dragged, the release measures them.
  if (widthChanged && !FInColResize) UpdateAllRowHeights();
  cmbLeft->setGeometry(col0 + 10, cmbLeft->y(), col1 - btnBrowseLeft->width() - 20, cmbLeft->height());
  btnBrowseLeft->move(cmbLeft->x() + cmbLeft->width() + 2, btnBrowseLeft->y());
  cmbRight->setGeometry(col0 + col1 + 10, cmbRight->y(), col2 - btnBrowseRight->width() - 50, cmbRight->height());
  btnBrowseRight->move(cmbRight->x() + cmbRight->width() + 2, btnBrowseRight->y());
}
