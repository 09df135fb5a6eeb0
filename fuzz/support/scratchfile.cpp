#include "support/scratchfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

const QTemporaryDir& Folder() {
  static const QTemporaryDir folder;
  if (!folder.isValid()) {
    std::fprintf(stderr, "cannot make a temporary folder\n");
    std::abort();
  }
  return folder;
}

}  // namespace

QString ScratchPath(const QString& name) { return Folder().filePath(name); }

QString WriteScratchFile(const QString& name, const QByteArray& bytes) {
  const QString path = ScratchPath(name);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    std::abort();
  }
  return path;
}
