// The largest inputs of the fault tests, measured: a pair of 1,000,000-line files and a single
// line of 1,000,000 characters through the headless command (time and peak memory of the child)
// and through the window offscreen (comparison, painting, scrolling to the end), and two folder
// trees of 100,000 files each with a link cycle and names that are not UTF-8. Prints the figures.
//
//   QT_QPA_PLATFORM=offscreen bench_large_inputs [lines] [files]

#include "app/heapreserve.h"
#include "app/tfrmmain.h"
#include "faults/faultsupport.h"
#include "folders/folderlisting.h"
#include "support/recordingui.h"
#include "view/diffgrid.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

double Ms(QElapsedTimer& timer) {
  const double ms = timer.nsecsElapsed() / 1e6;
  timer.restart();
  return ms;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  file.open(QIODevice::WriteOnly);
  file.write(bytes);
}

// Lines of a log-like text; the right side has every 1,000th line changed and every 1,777th gone.
void WriteLinePair(const QString& left, const QString& right, int lines) {
  QByteArray l, r;
  l.reserve(qsizetype(lines) * 32);
  r.reserve(qsizetype(lines) * 32);
  for (int i = 0; i < lines; ++i) {
    const QByteArray line = "line " + QByteArray::number(i) + " some text here " + QByteArray::number(i * 7 % 1000) + '\n';
    l += line;
    if (i % 1000 == 0) r += "changed " + line;
    else if (i % 1777 != 0) r += line;
  }
  WriteFile(left, l);
  WriteFile(right, r);
}

QByteArray LongLine(int characters) {
  QByteArray line;
  while (line.size() < characters) line += "word" + QByteArray::number(line.size() % 977) + ' ';
  return line.left(characters);
}

void Headless(const char* what, const QString& left, const QString& right) {
  const qint64 inputKb = (QFileInfo(left).size() + QFileInfo(right).size()) / 1024;
  const faults::TChildRun run = faults::RunChild({QStringLiteral("--compare"), left, right, QStringLiteral("--format"),
                                                  QStringLiteral("tsv")},
                                                 faults::TChildOptions{});
  std::printf("headless, %s (%lld MB of input): exit %d, %.2f s, peak %lld MB (%.1f times the input)\n", what,
              inputKb / 1024, run.ExitCode, run.ElapsedMs / 1000.0, run.PeakRssKb / 1024,
              double(run.PeakRssKb) / double(std::max<qint64>(inputKb, 1)));
}

void Window(const char* what, TfrmMain& window, const QString& left, const QString& right) {
  QElapsedTimer timer;
  timer.start();
  window.SetPaths(left, right);
  window.RunCommand([&window] { window.btnCompareClick(); });
  const double compare = Ms(timer);
  window.Grid()->viewport()->repaint();
  const double paint = Ms(timer);
  window.CenterOnRow(window.Grid()->RowCount() - 1);
  QScrollBar* bar = window.Grid()->verticalScrollBar();
  bar->setValue(bar->maximum());
  window.Grid()->viewport()->repaint();
  const double end = Ms(timer);
  bar->setValue(bar->maximum() / 2);
  window.Grid()->viewport()->repaint();
  const double middle = Ms(timer);
  std::printf("window, %s: %lld rows; Compare click to filled grid %.0f ms; first paint %.1f ms; scroll to the end "
              "and repaint %.1f ms; scroll to the middle and repaint %.1f ms; last row height %d px\n",
              what, qlonglong(window.DiffItems().size()), compare, paint, end, middle,
              window.Grid()->RowHeight(window.Grid()->RowCount() - 1));
}

// Nested trees of `files` files each, a link back to the root and a few names that are not UTF-8.
void WriteTrees(const QString& left, const QString& right, int files) {
  for (int i = 0; i < files; ++i) {
    const QString relative = QStringLiteral("/d%1/s%2/f%3.txt").arg(i % 50).arg(i / 50 % 20).arg(i);
    if (i < 1000) {
      QDir().mkpath(QFileInfo(left + relative).absolutePath());
      QDir().mkpath(QFileInfo(right + relative).absolutePath());
    }
    WriteFile(left + relative, "x");
    WriteFile(right + relative, i % 97 == 0 ? "xy" : "x");
  }
  QFile::link(left, left + QStringLiteral("/d1/s1/cycle"));
  for (const QString& root : {left, right})
    for (const char* name : {"/caf\xE9.txt", "/\xFF\xFE.bin"}) {
      const int fd = ::open((QFile::encodeName(root) + name).constData(), O_CREAT | O_WRONLY, 0644);
      ::close(fd);
    }
}

void Folders(TfrmMain& window, const QString& left, const QString& right, int files) {
  QElapsedTimer timer;
  timer.start();
  WriteTrees(left, right, files);
  const double written = Ms(timer);
  const TFolderComparison result = CompareFolderTrees(left, right);
  const double listed = Ms(timer);
  window.SetPaths(left, right);
  window.RunCommand([&window] { window.btnCompareClick(); });
  const double shown = Ms(timer);
  std::printf("folders, two trees of %d files (written in %.0f ms): %lld rows listed and paired in %.0f ms; through "
              "the window until the grid is shown %.0f ms\n",
              files + 2, written, qlonglong(result.Items.size()), listed, shown);
}

}  // namespace

int main(int argc, char** argv) {
  PrepareHeap();  // as the program does
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir folder;
  qputenv("APPDATA", folder.filePath(QStringLiteral("appdata")).toLocal8Bit());
  QApplication app(argc, argv);
  const int lines = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000000;
  const int files = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 100000;

  const QString left = folder.filePath(QStringLiteral("left.txt"));
  const QString right = folder.filePath(QStringLiteral("right.txt"));
  const QString longLeft = folder.filePath(QStringLiteral("long-left.txt"));
  const QString longRight = folder.filePath(QStringLiteral("long-right.txt"));
  WriteLinePair(left, right, lines);
  QByteArray line = LongLine(1000000);
  WriteFile(longLeft, line + '\n');
  line[500000] = '#';
  WriteFile(longRight, line + '\n');

  Headless("1,000,000-line pair", left, right);
  Headless("one line of 1,000,000 characters", longLeft, longRight);

  TRecordingUserInterface ui;
  TfrmMain window(ui);
  window.resize(1280, 800);
  window.show();
  QApplication::processEvents();
  Window("1,000,000-line pair", window, left, right);
  Window("one line of 1,000,000 characters", window, longLeft, longRight);
  Folders(window, folder.filePath(QStringLiteral("left")), folder.filePath(QStringLiteral("right")), files);
  faults::RemoveTree(folder.path());
  return 0;
}
