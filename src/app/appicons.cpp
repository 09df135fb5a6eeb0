#include "app/appicons.h"

#include <QCoreApplication>
#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

// Outside any namespace: the resource of a static library has to be registered by hand.
static void RegisterIconResource() {
  static const bool registered = [] {
    Q_INIT_RESOURCE(varnoque_icons);
    return true;
  }();
  Q_UNUSED(registered);
}

namespace {

// The 64-pixel rendering keeps the 32-pixel tool bar crisp at a device pixel ratio of 2.
constexpr int KIconSizes[] = {16, 24, 32, 48, 64};

QHash<QString, QIcon>& IconCache() {
  static QHash<QString, QIcon> cache;
  return cache;
}

// Pixmaps must not outlive the application object, so the cache empties when it goes.
void ClearIconCache() { IconCache().clear(); }

QString ResourcePath(const QString& name) { return QStringLiteral(":/icons/%1.svg").arg(name); }

QIcon BuildIcon(const QString& name) {
  QIcon icon;
  for (int size : KIconSizes) icon.addPixmap(QPixmap::fromImage(RenderAppIcon(name, size)));
  return icon;
}

}  // namespace

const QStringList& AppIconNames() {
  static const QStringList names = {
      QStringLiteral("search"),
      QStringLiteral("dropdown"),
      QStringLiteral("arrow-up"),
      QStringLiteral("arrow-down"),
      QStringLiteral("first"),
      QStringLiteral("last"),
      QStringLiteral("copy-to-right"),
      QStringLiteral("copy-to-left"),
      QStringLiteral("copy-all-to-right"),
      QStringLiteral("copy-all-to-left"),
      QStringLiteral("undo2"),
      QStringLiteral("save1"),
      QStringLiteral("save2"),
      QStringLiteral("settings"),
      QStringLiteral("question-mark"),
      QStringLiteral("bubble"),
      QStringLiteral("varnoque"),
      QStringLiteral("update-icon"),
  };
  return names;
}

QImage RenderAppIcon(const QString& name, int size) {
  if (size < 1 || !AppIconNames().contains(name)) return {};
  RegisterIconResource();
  QSvgRenderer renderer(ResourcePath(name));
  if (!renderer.isValid()) return {};
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  renderer.render(&painter, QRectF(0, 0, size, size));
  return image;
}

QIcon AppIcon(const QString& name) {
  if (!AppIconNames().contains(name)) return {};
  QHash<QString, QIcon>& cache = IconCache();
  auto found = cache.constFind(name);
  if (found != cache.constEnd()) return *found;
  if (cache.isEmpty()) qAddPostRoutine(ClearIconCache);
  return *cache.insert(name, BuildIcon(name));
}
