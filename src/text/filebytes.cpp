#include "text/filebytes.h"

#include "common/varnoqueerror.h"
#include "i18n/format.h"
#include "i18n/translations.h"

#include <QDir>
#include <QFile>

namespace {

[[noreturn]] void FailWith(const char* format, const QString& path, const QFile& file) {
  throw EVarnoqueError(
      FormatText(Translate(QString::fromUtf8(format)), {DisplayPath(path), file.errorString()}));
}

}  // namespace

QString DisplayPath(const QString& path) { return QDir::toNativeSeparators(path); }

QByteArray ReadFileBytes(const QString& path, qint64 maxBytes) {
  QFile file(path);
  // Unbuffered: the bytes go straight into the result, without a second copy.
  if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
    FailWith("Cannot open the file \"%s\": %s", path, file);
  const QByteArray bytes = maxBytes < 0 ? file.readAll() : file.read(maxBytes);
  if (file.error() != QFileDevice::NoError) FailWith("Cannot read the file \"%s\": %s", path, file);
  return bytes;
}
