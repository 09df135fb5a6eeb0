// The main window's texts in the current language, and the Language menu that switches it.

#include "app/tfrmmain.h"
#include "i18n/toolkittranslations.h"
#include "i18n/translations.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

namespace {
// Menu captions are plain texts: an ampersand is a character, not an access key.
QString Caption(const QString& english) {
  QString caption = Translate(english);
  return caption.replace(QLatin1Char('&'), QLatin1String("&&"));
}
}  // namespace

void TfrmMain::ApplyLanguage() {
  const auto caption = [](QMenu* menu, const char* english) { menu->setTitle(Caption(QString::fromUtf8(english))); };
  const auto entry = [](QAction* action, const char* english) { action->setText(Caption(QString::fromUtf8(english))); };
  const auto hint = [](QWidget* widget, const char* english) { widget->setToolTip(Translate(QString::fromUtf8(english))); };
  caption(File1, "File");
  caption(Compare1, "Compare");
  caption(Browse1, "Browse");
  caption(Edit1, "Edit");
  caption(ools1, "Tools");
  caption(Help1, "Help");
  StaticText1->setText(Translate(QStringLiteral("Files or Folders:")));
  Label1->setText(Translate(QStringLiteral("Double-click on a cell to start editing")));
  hint(btnCompare, "Load and Compare");
  entry(miAutomatically1, "Automatically");
  entry(miAsTextFiles1, "As Text-based Files");
  entry(miAsComplexDocumentsegPDFDOCXetcwithTIKA1, "As Complex Documents (e.g. PDF, DOCX etc.) with TIKA");
  entry(miAsFolders1, "As Folders");
  hint(btnBrowseLeft, "Set Left Text...");
  hint(btnBrowseRight, "Set Right Text...");
  hint(btnSaveLeft, "Save Left Text As...");
  hint(btnSaveRight, "Save Right Text As...");
  hint(btnPrevDiff, "Previous Difference");
  hint(btnNextDiff, "Next Difference");
  hint(btnFirstDiff, "First Difference");
  hint(btnLastDiff, "Last Difference");
  hint(btnLeftToRight, "Copy to Right");
  hint(btnRightToLeft, "Copy to Left");
  hint(btnAllLeftDiffsToRight, "Copy All to Right");
  hint(btnAllRightDiffsToLeft, "Copy All to Left");
  hint(btnUndo, "Undo Last Change");
  hint(btnSettings, "Settings...");
  hint(btnInfo, "About...");
  entry(mmAutomatically1, "Automatically");
  entry(mmAsTextFiles1, "As Text-based Files");
  entry(mmAsComplexDocumentsegPDFDOCXetcwithTIKA1, "As Complex Documents with TIKA");
  entry(mmAsFolders1, "As Folders");
  entry(mmBrowseLeft, "Set Left Text...");
  entry(mmBrowseRight, "Set Right Text...");
  entry(mmSaveLeft, "Save Left Text As...");
  entry(mmSaveRight, "Save Right Text As...");
  entry(mmExit, "Exit");
  entry(mmPrevDiff, "Previous Difference");
  entry(mmNextDiff, "Next Difference");
  entry(mmFirstDiff, "First Difference");
  entry(mmLastDiff, "Last Difference");
  entry(mmLeftToRight, "Copy to Right");
  entry(mmRightToLeft, "Copy to Left");
  entry(mmAllLeftDiffsToRight, "Copy All to Right");
  entry(mmAllRightDiffsToLeft, "Copy All to Left");
  entry(mmEditSelected, "Edit Selected...");
  entry(mmUndo, "Undo Last Change");
  entry(mmSettings, "Settings...");
  caption(mmLanguage, "Language");
  entry(mmInfo, "About...");
  entry(mmTutorial, "Tutorial");
  entry(mmWebsite, "Website");
  entry(mmSupport, "Support");
  lblGettingStarted->setText(Translate(QStringLiteral("Select 2 Files or 2 Folders")) + QStringLiteral("\r\n") +
                             Translate(QStringLiteral("Then click on \"Compare\"")));
}

void TfrmMain::BuildLanguageMenu() {
  const TTranslationCatalogue& catalogue = Catalogue();
  auto* group = new QActionGroup(mmLanguage);
  group->setExclusive(true);
  for (int column = 0; column < catalogue.LanguageCount(); ++column) {
    QString name = catalogue.LanguageName(column);
    QAction* language = mmLanguage->addAction(name.replace(QLatin1Char('&'), QLatin1String("&&")));
    language->setData(column);
    language->setCheckable(true);
    language->setChecked(column == catalogue.CurrentLanguageIndex());
    group->addAction(language);
    connect(language, &QAction::triggered, this, [this, language] {
      RunCommand([this, language] { LanguageMenuItemClick(language); });
    });
  }
}

void TfrmMain::LanguageMenuItemClick(QAction* sender) {
  for (QAction* language : mmLanguage->actions()) language->setChecked(false);
  Catalogue().SetCurrentLanguage(sender->data().toInt());
  sender->setChecked(true);
  SaveCurrentLanguage();
  InstallToolkitTranslations(Catalogue().CurrentLanguageCode());
  ApplyLanguage();
}

void TfrmMain::SaveCurrentLanguage() { SaveStoredLanguageCode(Catalogue().CurrentLanguageCode()); }
