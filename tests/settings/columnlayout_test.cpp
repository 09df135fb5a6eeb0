// The grid's column layout as the settings leave it: the timer gives the right column the rest
// of the width and lays the path boxes over the columns, settling in two ticks; a drag of a
// header column border measures the rows again when the button is released.

#include "settings/settingswindowfixture.h"

#include <QHeaderView>
#include <QScrollBar>

#include <ostream>

namespace {

class ColumnLayoutTest : public SettingsWindowTest {
protected:
  void CompareManyLines() {
    QByteArray text;
    for (int i = 0; i < 200; ++i) text += "line " + QByteArray::number(i) + "\n";
    CompareTexts(text, text + "more\n");
  }

  int ColumnsWidth() { return Grid().ColWidth(0) + Grid().ColWidth(1) + Grid().ColWidth(2); }

  // The browse buttons beside the path boxes, left one first.
  QList<QToolButton*> BrowseButtons() {
    QList<QToolButton*> buttons;
    for (QToolButton* button : Window->centralWidget()->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
      if (button->text() == QLatin1String("...")) buttons.append(button);
    std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
    return buttons;
  }
};

TEST_F(ColumnLayoutTest, TheTimerRunsWithTheWindowAndKeepsTheColumnsFillingTheGrid) {
  EXPECT_TRUE(TimerWasRunning);
  EXPECT_EQ(LayoutTimer()->interval(), 100);
  LayoutTimer()->start();  // as the window runs it; the fixture held it still
  CompareManyLines();
  ASSERT_TRUE(Grid().verticalScrollBar()->isVisible());
  Grid().SetColWidth(1, 300);
  EXPECT_TRUE(QTest::qWaitFor([this] { return ColumnsWidth() == Grid().viewport()->width(); }, 10000))
      << ColumnsWidth() << " vs " << Grid().viewport()->width();
}

TEST_F(ColumnLayoutTest, TheRightColumnTakesTheRemainingWidthBesideTheScrollBar) {
  Settle();  // the timer has laid the columns out while the getting-started panel showed
  CompareManyLines();
  ASSERT_TRUE(Grid().verticalScrollBar()->isVisible());
  Settle();
  EXPECT_EQ(ColumnsWidth(), Grid().viewport()->width()) << "after the first comparison";

  Window->resize(Window->width() - 150, Window->height());
  EXPECT_EQ(Grid().ColWidth(1), HalfOfTheGrid()) << "the window's resize halves the grid";
  Settle();
  EXPECT_EQ(ColumnsWidth(), Grid().viewport()->width()) << "after a resize";
}

TEST_F(ColumnLayoutTest, ThePathBoxesLieOverTheirColumns) {
  CompareTexts("a\n", "b\n");
  Grid().SetColWidth(1, 400);
  Settle();
  QComboBox* left = TfrmMainTestAccess::LeftBox(*Window);
  QComboBox* right = TfrmMainTestAccess::RightBox(*Window);
  const QList<QToolButton*> browse = BrowseButtons();
  ASSERT_EQ(browse.size(), 2);
  EXPECT_EQ(left->x(), Grid().ColWidth(0) + 10);
  EXPECT_EQ(left->width(), 400 - browse[0]->width() - 20);
  EXPECT_EQ(browse[0]->x(), left->x() + left->width() + 2);
  EXPECT_EQ(right->x(), Grid().ColWidth(0) + 400 + 10);
  EXPECT_EQ(right->width(), Grid().ColWidth(2) - browse[1]->width() - 50);
  EXPECT_EQ(browse[1]->x(), right->x() + right->width() + 2);
}

TEST_F(ColumnLayoutTest, TheLayoutSettlesInTwoTicks) {
  CompareManyLines();
  Settle();
  QComboBox* left = TfrmMainTestAccess::LeftBox(*Window);
  const int home = Grid().ColWidth(0) + 10;
  Grid().SetColWidth(1, 300);
  Window->Timer1Timer();
  EXPECT_EQ(ColumnsWidth(), Grid().viewport()->width());
  // The second tick still sees a new width of column 2 and lays the boxes out again ...
  left->move(500, left->y());
  Window->Timer1Timer();
  EXPECT_EQ(left->x(), home);
  // ... the third finds nothing changed and leaves them alone.
  left->move(500, left->y());
  Window->Timer1Timer();
  EXPECT_EQ(left->x(), 500);
}

// A press in the grid, placed relative to the right border of a column.
struct TPressCase {
  const char* Name;
  int Col;
  int FromBorder;  // pixels from the column's right border; negative is inside the column
  bool InHeader;
  Qt::MouseButton Button;
  bool MarksResize;
};

void PrintTo(const TPressCase& c, std::ostream* out) { *out << c.Name; }

class HeaderPressTest : public ColumnLayoutTest, public ::testing::WithParamInterface<TPressCase> {};

// A marked press makes its release measure the rows again: a row sized by hand gets its
// measured height back.
TEST_P(HeaderPressTest, OnlyAPressAtAHeaderBorderOfColumn0Or1MarksAColumnResize) {
  const TPressCase& c = GetParam();
  CompareTexts("a\nb\n", "a\nc\n");
  Settle();
  const int measured = Grid().RowHeight(2);
  Grid().SetRowHeight(2, 3);
  QHeaderView* header = Grid().horizontalHeader();
  const int border = header->sectionViewportPosition(c.Col) + header->sectionSize(c.Col);
  QWidget* surface = c.InHeader ? header->viewport() : Grid().viewport();
  const int y = c.InHeader ? header->height() / 2 : Grid().rowViewportPosition(0) + 2;
  const QPoint point(border + c.FromBorder, y);
  QTest::mousePress(surface, c.Button, {}, point);
  QTest::mouseRelease(surface, c.Button, {}, point);
  EXPECT_EQ(Grid().RowHeight(2), c.MarksResize ? measured : 3);
}

INSTANTIATE_TEST_SUITE_P(
    Presses, HeaderPressTest,
    ::testing::Values(TPressCase{"Column0AtItsBorder", 0, -1, true, Qt::LeftButton, true},
                      TPressCase{"Column0FourPixelsIn", 0, -4, true, Qt::LeftButton, true},
                      TPressCase{"Column0FivePixelsIn", 0, -5, true, Qt::LeftButton, false},
                      TPressCase{"JustRightOfColumn0sBorder", 0, 1, true, Qt::LeftButton, false},
                      TPressCase{"Column1NearItsBorder", 1, -3, true, Qt::LeftButton, true},
                      TPressCase{"NearTheRightBorderOfTheLastColumn", 2, -2, true, Qt::LeftButton, false},
                      TPressCase{"RightButton", 1, -2, true, Qt::RightButton, false},
                      TPressCase{"DataRowBelowTheBorder", 1, -2, false, Qt::LeftButton, false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ColumnLayoutTest, DraggingTheBorderBetweenTheTextColumnsMeasuresTheRowsOnRelease) {
  CompareTexts("short\n" + QByteArray(600, 'w').replace("wwwwwww", "wwwwww ") + "\n", "short\nother\n");
  Settle();
  const int before = Grid().RowHeight(2);
  QHeaderView* header = Grid().horizontalHeader();
  const int border = header->sectionViewportPosition(1) + header->sectionSize(1);
  const int y = header->height() / 2;
  const int width1 = Grid().ColWidth(1);
  QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(border - 1, y));
  QTest::mouseMove(header->viewport(), QPoint(border - 201, y));
  ASSERT_EQ(Grid().ColWidth(1), width1 - 200) << "the header follows the drag";
  EXPECT_EQ(Grid().RowHeight(2), before) << "no measuring while the button is down";
  QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(border - 201, y));
  EXPECT_GT(Grid().RowHeight(2), before);
}

}  // namespace
