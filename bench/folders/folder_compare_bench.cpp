// Times the folder comparison on two nested trees of 20,000 files each (a few hundred of them
// differing or one-sided): the listing and pairing alone, and through the window offscreen until
// the grid is shown. Prints the figures.
//
//   QT_QPA_PLATFORM=offscreen bench_folder_compare [files]

#include "app/tfrmmain.h"
#include "folders/folderlisting.h"
#include "support/recordingui.h"
#include "view/diffgrid.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

void WriteFile(const QString& path, int size) {
  QFile file(path);
  file.open(QIODevice::WriteOnly);
  file.write(QByteArray(size, 'x'));
}

// 20 top folders of 10 subfolders of files; every 97th file differs in size, every 211th is on
// the left only and every 223rd on the right only.
void WriteTrees(const QString& left, const QString& right, int files) {
  for (int i = 0; i < files; ++i) {
    const QString relative = QStringLiteral("/dir%1/sub%2/file%3.txt").arg(i % 20).arg(i / 20 % 10).arg(i);
    QDir().mkpath(QFileInfo(left + relative).absolutePath());
    QDir().mkpath(QFileInfo(right + relative).absolutePath());
    if (i % 223 != 0) WriteFile(left + relative, 10);
    if (i % 211 != 0) WriteFile(right + relative, i % 97 == 0 ? 11 : 10);
  }
}

double Ms(QElapsedTimer& timer) {
  const double ms = timer.nsecsElapsed() / 1e6;
  timer.restart();
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir folder;
  qputenv("APPDATA", folder.path().toLocal8Bit());
  QApplication app(argc, argv);
  const int files = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 20000;
  const QString left = folder.filePath(QStringLiteral("left"));
  const QString right = folder.filePath(QStringLiteral("right"));
  WriteTrees(left, right, files);

  TRecordingUserInterface ui;
  TfrmMain window(ui);
  window.resize(1280, 800);
  window.show();
  QApplication::processEvents();
  QElapsedTimer timer;
  for (int run = 1; run <= 3; ++run) {
    timer.start();
    const TFolderComparison pure = CompareFolderTrees(left, right);
    const double listing = Ms(timer);
    window.CompareFolders(left, right);
    window.Grid()->viewport()->repaint();
    const double shown = Ms(timer);
    std::printf("run %d: %lld + %lld files, %lld rows; listed and compared %.0f ms; through the window until "
                "shown %.0f ms\n",
                run, qlonglong(pure.LeftFileCount), qlonglong(pure.RightFileCount), qlonglong(pure.Items.size()),
                listing, shown);
  }
  return 0;
}
