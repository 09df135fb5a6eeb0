#include "i18n/toolkittranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {
// The table's codes follow the old Windows names; Qt's files the ISO ones.
QString ToolkitLocaleName(const QString& code) {
  if (code.compare(QLatin1String("jp"), Qt::CaseInsensitive) == 0) return QStringLiteral("ja");
  if (code.compare(QLatin1String("cn"), Qt::CaseInsensitive) == 0) return QStringLiteral("zh_CN");
  if (code.compare(QLatin1String("kr"), Qt::CaseInsensitive) == 0) return QStringLiteral("ko");
  return code.toLower();
}
}  // namespace

void InstallToolkitTranslations(const QString& languageCode) {
  static QTranslator* installed = nullptr;
  if (installed) {
    QCoreApplication::removeTranslator(installed);
    delete installed;
    installed = nullptr;
  }
  auto* translator = new QTranslator;
  if (translator->load(QStringLiteral("qtbase_") + ToolkitLocaleName(languageCode),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
      QCoreApplication::installTranslator(translator)) {
    installed = translator;
    return;
  }
  delete translator;
}
