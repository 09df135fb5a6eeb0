// Writes the benchmark file pairs into a folder: diff_workloads FOLDER.

#include "workloads.h"

#include <QDir>
#include <QSaveFile>

#include <cstdio>

namespace {

bool WriteLines(const QString& path, const QStringList& lines) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  QByteArray data;
  for (const QString& line : lines) data += line.toUtf8() + '\n';
  file.write(data);
  return file.commit();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  if (!folder.mkpath(QStringLiteral("."))) {
    std::fprintf(stderr, "cannot create %s\n", argv[1]);
    return 2;
  }
  for (const workloads::TWorkload& w : workloads::All()) {
    const QString stem = folder.filePath(QString::fromLatin1(w.Name));
    if (!WriteLines(stem + "-left.txt", w.Left) || !WriteLines(stem + "-right.txt", w.Right)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(stem));
      return 2;
    }
    std::printf("%s: %lld against %lld lines\n", w.Name, qint64(w.Left.size()), qint64(w.Right.size()));
  }
  return 0;
}
