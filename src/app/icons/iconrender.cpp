// Build-time helper: writes PNG renderings of one picture for the desktop's icon theme.
//   varnoque_iconrender <name> <size> <output.png> [<size> <output.png> ...]

#include "app/appicons.h"

#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char** argv) {
  // No window system is needed to paint into an image.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QStringList args = QCoreApplication::arguments().mid(1);
  QTextStream err(stderr);
  if (args.size() < 3 || args.size() % 2 == 0) {
    err << "usage: varnoque_iconrender <name> <size> <output.png> [<size> <output.png> ...]\n";
    return 2;
  }
  const QString name = args.takeFirst();
  for (int i = 0; i < args.size(); i += 2) {
    const QImage image = RenderAppIcon(name, args[i].toInt());
    if (image.isNull() || !image.save(args[i + 1], "PNG")) {
      err << "cannot render " << name << " at " << args[i] << " into " << args[i + 1] << "\n";
      return 1;
    }
  }
  return 0;
}
