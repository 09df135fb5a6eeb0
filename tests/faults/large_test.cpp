// Large inputs in the window: a line of a million characters and a pair of many lines are
// compared, painted and scrolled to their ends (the million-line pair and the figures live in
// bench/faults).

#include "faults/rowchecks.h"
#include "support/windowfixture.h"

#include <QScrollBar>

namespace {

class LargeInputTest : public WindowTest {
protected:
  void ScrollToTheEndAndPaint() {
    Window->CenterOnRow(Grid().RowCount() - 1);
    QScrollBar* bar = Grid().verticalScrollBar();
    bar->setValue(bar->maximum());
    Grid().viewport()->repaint();
    bar->setValue(bar->maximum() / 2);
    Grid().viewport()->repaint();
  }
};

TEST_F(LargeInputTest, ALineOfAMillionCharactersIsComparedShownAndScrolled) {
  QByteArray line;
  while (line.size() < 1000000) line += "word" + QByteArray::number(line.size() % 977) + ' ';
  QByteArray changed = line;
  changed[500000] = '#';
  CompareTexts(line, changed + "\nsecond line\n");
  ASSERT_EQ(Window->DiffItems().size(), 2);
  EXPECT_EQ(Window->DiffItems()[0].Kind, dkDifferent);
  ExpectRowsConsistent(*Window, true);
  EXPECT_GT(Grid().RowHeight(1), 100 * Window->BaseRowHeight()) << "the row holds the whole wrapped line";
  ScrollToTheEndAndPaint();
}

TEST_F(LargeInputTest, APairOfManyLinesIsComparedShownAndScrolled) {
  QByteArray left, right;
  for (int i = 0; i < 100000; ++i) {
    const QByteArray text = "line " + QByteArray::number(i) + " of the pair\n";
    left += text;
    right += i % 500 == 3 ? "changed " + text : text;
  }
  CompareTexts(left, right);
  ASSERT_EQ(Window->DiffItems().size(), 100000);
  ExpectRowsConsistent(*Window, true);
  ScrollToTheEndAndPaint();
}

}  // namespace
