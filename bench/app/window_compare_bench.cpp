// Times the main window, offscreen, on a comparison of ~150,000 source lines against a copy with
// 0.5% of its lines changed, inserted or deleted: from the Compare click to the grid filled with
// every row height, then the jump to the last row and its repaint. Prints the figures.
//
//   QT_QPA_PLATFORM=offscreen bench_window_compare [lines | LEFT RIGHT]

#include "app/heapreserve.h"
#include "app/tfrmmain.h"
#include "support/recordingui.h"
#include "view/diffgrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cstdio>

namespace {

QByteArray SourceLine(QRandomGenerator& random, int number) {
  static const char* const words[] = {"int", "value", "return", "if", "(", ")", "{", "}", "count", "index",
                                      "buffer", "const", "auto", "std::string", "=", "+", ";", "for", "while"};
  QByteArray line(int(random.bounded(5)) * 2, ' ');
  const int length = 2 + int(random.bounded(12));
  for (int i = 0; i < length; ++i) line += QByteArray(words[random.bounded(19)]) + ' ';
  return line + "// " + QByteArray::number(number);
}

void WritePair(const QString& left, const QString& right, int lines) {
  QRandomGenerator random(150);
  QFile l(left), r(right);
  l.open(QIODevice::WriteOnly);
  r.open(QIODevice::WriteOnly);
  for (int i = 0; i < lines; ++i) {
    const QByteArray line = SourceLine(random, i) + '\n';
    l.write(line);
    const quint32 dice = random.bounded(1000);
    if (dice < 2) r.write("changed " + line);        // changed
    else if (dice < 3) r.write(line + "inserted\n");  // inserted
    else if (dice < 5) continue;                      // deleted
    else r.write(line);
  }
}

double Ms(QElapsedTimer& timer) {
  const double ms = timer.nsecsElapsed() / 1e6;
  timer.restart();
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  PrepareHeap();  // as the program does
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir folder;
  qputenv("APPDATA", folder.path().toLocal8Bit());
  QApplication app(argc, argv);
  const bool givenFiles = argc > 2;
  const QString left = givenFiles ? QString::fromLocal8Bit(argv[1]) : folder.filePath(QStringLiteral("left.cpp"));
  const QString right = givenFiles ? QString::fromLocal8Bit(argv[2]) : folder.filePath(QStringLiteral("right.cpp"));
  if (!givenFiles) WritePair(left, right, argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 150000);

  TRecordingUserInterface ui;
  TfrmMain window(ui);
  window.resize(1280, 800);
  window.show();
  QApplication::processEvents();
  window.SetPaths(left, right);

  QElapsedTimer timer;
  for (int run = 1; run <= 3; ++run) {
    timer.start();
    window.btnCompareClick();
    const double compare = Ms(timer);
    QApplication::processEvents();
    window.Grid()->viewport()->repaint();
    const double firstPaint = Ms(timer);
    window.CenterOnRow(window.Grid()->RowCount() - 1);
    window.Grid()->viewport()->repaint();
    const double lastRow = Ms(timer);
    window.Grid()->verticalScrollBar()->setValue(window.Grid()->verticalScrollBar()->maximum() / 2);
    window.Grid()->viewport()->repaint();
    const double middle = Ms(timer);
    timer.start();
    window.UpdateAllRowHeights();
    const double heights = Ms(timer);
    std::printf("run %d: %d rows; Compare click to filled grid %.0f ms (of which all row heights %.0f ms); "
                "first paint %.1f ms; jump to the last row and repaint %.1f ms; scroll to the middle and "
                "repaint %.1f ms\n",
                run, int(window.DiffItems().size()), compare, heights, firstPaint, lastRow, middle);
  }
  // A single changed line of 200,000 characters: the comparison and the paint of its cells.
  QByteArray longLine;
  QRandomGenerator random(7);
  while (longLine.size() < 200000) longLine += SourceLine(random, int(longLine.size())) + ' ';
  QByteArray changed = longLine;
  changed[100000] = '#';
  const QString longLeft = folder.filePath(QStringLiteral("long-left.txt"));
  const QString longRight = folder.filePath(QStringLiteral("long-right.txt"));
  window.SetPaths(longLeft, longRight);
  QFile l(longLeft), r(longRight);
  l.open(QIODevice::WriteOnly);
  l.write(longLine);
  l.close();
  r.open(QIODevice::WriteOnly);
  r.write(changed);
  r.close();
  timer.start();
  window.btnCompareClick();
  const double compare = Ms(timer);
  window.Grid()->viewport()->repaint();
  const double paint = Ms(timer);
  window.CenterOnRow(1);
  window.Grid()->verticalScrollBar()->setValue(window.Grid()->verticalScrollBar()->maximum() / 2);
  window.Grid()->viewport()->repaint();
  const double scrolled = Ms(timer);
  std::printf("one changed line of %d characters: Compare click to filled grid %.0f ms; paint %.1f ms; scroll "
              "into the middle of the row and repaint %.1f ms (row height %d px)\n",
              int(longLine.size()), compare, paint, scrolled, window.Grid()->RowHeight(1));
  return 0;
}
