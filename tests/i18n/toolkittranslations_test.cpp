#include "i18n/toolkittranslations.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>

#include <gtest/gtest.h>

namespace {

QString ToolkitCancel() { return QCoreApplication::translate("QPlatformTheme", "Cancel"); }

TEST(ToolkitTranslationsTest, FollowTheUiLanguageAndFallBackToEnglish) {
  if (!QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_de.qm")))
    GTEST_SKIP() << "Qt's translations are not installed";
  InstallToolkitTranslations(QStringLiteral("de"));
  EXPECT_EQ(ToolkitCancel(), QStringLiteral("Abbrechen"));
  InstallToolkitTranslations(QStringLiteral("jp"));
  EXPECT_NE(ToolkitCancel(), QStringLiteral("Cancel"));
  InstallToolkitTranslations(QStringLiteral("en"));
  EXPECT_EQ(ToolkitCancel(), QStringLiteral("Cancel"));
  InstallToolkitTranslations(QStringLiteral("xx"));
  EXPECT_EQ(ToolkitCancel(), QStringLiteral("Cancel"));
}

}  // namespace
