#pragma once
// A temporary folder for the files a test reads and writes.

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

class TTempFolder {
public:
  QString Path(const QString& name) const { return FDir.filePath(name); }

  QString Write(const QString& name, const QByteArray& bytes) const {
    const QString path = Path(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    EXPECT_EQ(file.write(bytes), bytes.size());
    return path;
  }

  static QByteArray Read(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
  }

private:
  QTemporaryDir FDir;
};

// Whether permission bits stop this process (they do not stop root).
inline bool PermissionsApply() { return geteuid() != 0; }
