#include "support/testenv.h"

#include <QDir>
#include <QTemporaryDir>

namespace testenv {

static QTemporaryDir& Folder() {
  static QTemporaryDir dir;
  return dir;
}

void IsolateUserFolders() {
  qputenv("XDG_CONFIG_HOME", Folder().path().toLocal8Bit());
  qunsetenv("APPDATA");
}

QString ConfigHome() { return Folder().path(); }

}  // namespace testenv
