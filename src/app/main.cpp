#include "app/comparecommand.h"
#include "i18n/translations.h"

#include <QApplication>

namespace {
QStringList ArgumentsOf(int argc, char** argv) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
  return arguments;
}
}  // namespace

int main(int argc, char** argv) {
  const QStringList arguments = ArgumentsOf(argc, argv);
  if (IsCompareCommand(arguments)) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Varnoque"));
    LoadTranslations();
    return RunCompareCommand(arguments);
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Varnoque"));
  return 0;
}
