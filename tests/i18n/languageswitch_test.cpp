// Switching the UI language through the real window's Language menu, with a table of three
// languages written for the test.
#include "i18n/translations.h"
#include "support/windowfixture.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QSettings>

// Failures print texts readably.
static void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

// The English texts of the window's captions, hints and labels.
const QStringList CaptionTexts{
    "File", "Compare", "Browse", "Edit", "Tools", "Help", "Files or Folders:",
    "Double-click on a cell to start editing", "Load and Compare", "Automatically", "As Text-based Files",
    "As Complex Documents (e.g. PDF, DOCX etc.) with TIKA", "As Folders", "Set Left Text...",
    "Set Right Text...", "Save Left Text As...", "Save Right Text As...", "Previous Difference",
    "Next Difference", "First Difference", "Last Difference", "Copy to Right", "Copy to Left",
    "Copy All to Right", "Copy All to Left", "Undo Last Change", "Settings...", "About...",
    "As Complex Documents with TIKA", "Exit", "Edit Selected...", "Language", "Tutorial", "Website",
    "Support", "Select 2 Files or 2 Folders", "Then click on \"Compare\""};

// Texts shown later, outside the caption table.
const QStringList LaterTexts{"Ready.", "The files are identical."};

const QString German = QStringLiteral("Deutsch");

// The test's translations: German marks every text (and puts an ampersand into one caption);
// French leaves two texts empty, so that they show in English.
QString Translation(const QString& code, const QString& english) {
  if (code == QLatin1String("de"))
    return english == QLatin1String("Tools") ? QStringLiteral("Werkzeuge & Extras") : QStringLiteral("«de» ") + english;
  if (english == QLatin1String("Tools") || english == QLatin1String("Then click on \"Compare\"")) return {};
  return QStringLiteral("«fr» ") + english;
}

QByteArray TestTable() {
  QStringList lines{"3", "English", German, QStringLiteral("Français"), "en", "de", "fr"};
  for (const QString& english : CaptionTexts + LaterTexts)
    lines << english << Translation(QStringLiteral("de"), english) << Translation(QStringLiteral("fr"), english);
  return lines.join(QLatin1Char('\n')).toUtf8() + '\n';
}

// A caption as the menu shows it: "&&" is an ampersand, a lone '&' marks an access key.
QString Displayed(const QString& caption) {
  QString shown;
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] != u'&') shown += caption[i];
    else if (i + 1 < caption.size() && caption[i + 1] == u'&') shown += caption[++i];
  }
  return shown;
}

void AddMenuTexts(QMenu* menu, const QMenu* languageMenu, QStringList& texts) {
  for (QAction* action : menu->actions()) {
    if (action->isSeparator()) continue;
    if (action->menu()) {
      texts.append(Displayed(action->menu()->title()));
      if (action->menu() != languageMenu) AddMenuTexts(action->menu(), languageMenu, texts);
    } else {
      texts.append(Displayed(action->text()));
    }
  }
}

class LanguageSwitchTest : public WindowTest {
protected:
  void SetUp() override {
    ForgetStoredLanguage();
    Write(QStringLiteral("transl.dt"), TestTable());
    // As on an English system with no stored choice.
    Catalogue().Load(Path(QStringLiteral("transl.dt")), QStringLiteral("en"));
    WindowTest::SetUp();
  }

  void TearDown() override {
    WindowTest::TearDown();
    Catalogue() = TTranslationCatalogue();
    ForgetStoredLanguage();
  }

  static QSettings& KeyStore() {
    static QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Varnoque"),
                           QStringLiteral("Varnoque"));
    store.sync();
    return store;
  }
  static void ForgetStoredLanguage() {
    KeyStore().remove(QStringLiteral("CurrentLanguage"));
    KeyStore().sync();
  }
  static QVariant StoredValue() { return KeyStore().value(QStringLiteral("CurrentLanguage")); }

  // The next start: the table read again with the stored code, and a new window.
  void Restart() {
    Window.reset();
    Catalogue().Load(Path(QStringLiteral("transl.dt")), StoredLanguageCode());
    MakeWindow();
  }

  QList<QAction*> LanguageEntries() { return TfrmMainTestAccess::LanguageMenu(*Window)->actions(); }
  void Pick(int column) { LanguageEntries().at(column)->trigger(); }

  QStringList EntryNames() {
    QStringList names;
    for (QAction* entry : LanguageEntries()) names.append(Displayed(entry->text()));
    return names;
  }
  QList<int> CheckedEntries() {
    QList<int> checked;
    for (int i = 0; i < LanguageEntries().size(); ++i)
      if (LanguageEntries()[i]->isChecked()) checked.append(i);
    return checked;
  }

  // Every caption, hint and label text of the window, in a fixed order.
  QStringList ShownTexts() {
    TfrmMain& w = *Window;
    QStringList texts;
    for (QAction* top : w.menuBar()->actions()) {
      texts.append(Displayed(top->menu()->title()));
      AddMenuTexts(top->menu(), TfrmMainTestAccess::LanguageMenu(w), texts);
    }
    AddMenuTexts(TfrmMainTestAccess::PopupMenu(w), nullptr, texts);
    for (QToolButton* button : w.findChildren<QToolButton*>())
      if (!button->toolTip().isEmpty()) texts.append(button->toolTip());
    texts << TfrmMainTestAccess::LineNumbersLabel(w)->text() << TfrmMainTestAccess::HintLabel(w)->text();
    texts << TfrmMainTestAccess::GettingStartedLabel(w)->text().split(QStringLiteral("\r\n"));
    return texts;
  }

  // What ShownTexts must read in a language, given the English texts.
  static QStringList InLanguage(const QString& code, const QStringList& english) {
    QStringList texts;
    for (const QString& text : english) {
      const QString translated = code == QLatin1String("en") ? QString() : Translation(code, text);
      texts.append(translated.isEmpty() ? text : translated);
    }
    return texts;
  }
};

TEST_F(LanguageSwitchTest, StartsInTheSourceLanguageWithItsEntryChecked) {
  EXPECT_EQ(EntryNames(), (QStringList{"English", German, QStringLiteral("Français")}));
  EXPECT_EQ(CheckedEntries(), QList<int>{0});
  const QStringList shown = ShownTexts();
  // Every text of the caption table is shown, and nothing else.
  EXPECT_EQ(QSet<QString>(shown.begin(), shown.end()), QSet<QString>(CaptionTexts.begin(), CaptionTexts.end()));
  EXPECT_EQ(Window->StatusText(), QStringLiteral("Ready."));
  EXPECT_FALSE(StoredValue().isValid());
}

TEST_F(LanguageSwitchTest, PickingALanguageChecksItAppliesItAndStoresItsCode) {
  const QStringList english = ShownTexts();
  Pick(1);
  EXPECT_EQ(CheckedEntries(), QList<int>{1});
  EXPECT_EQ(ShownTexts(), InLanguage(QStringLiteral("de"), english));
  EXPECT_EQ(StoredValue(), QVariant(QStringLiteral("de")));
  // Texts already on screen keep their language until they are set again; later ones follow.
  EXPECT_EQ(Window->StatusText(), QStringLiteral("Ready."));
  CompareTexts("same\n", "same\n");
  EXPECT_TRUE(Ui.MessageTexts().contains(QStringLiteral("«de» The files are identical.")));
}

TEST_F(LanguageSwitchTest, TheNextStartComesUpInTheStoredLanguage) {
  const QStringList english = ShownTexts();
  Pick(1);
  Restart();
  EXPECT_EQ(Catalogue().CurrentLanguageIndex(), 1);
  EXPECT_EQ(CheckedEntries(), QList<int>{1});
  EXPECT_EQ(ShownTexts(), InLanguage(QStringLiteral("de"), english));
  EXPECT_EQ(Window->StatusText(), QStringLiteral("«de» Ready."));
}

TEST_F(LanguageSwitchTest, TheSourceLanguageBringsTheEnglishTextsBack) {
  const QStringList english = ShownTexts();
  Pick(1);
  Pick(0);
  EXPECT_EQ(CheckedEntries(), QList<int>{0});
  EXPECT_EQ(ShownTexts(), english);
  EXPECT_EQ(StoredValue(), QVariant(QStringLiteral("en")));
}

TEST_F(LanguageSwitchTest, AnEmptyEntryShowsTheEnglishText) {
  const QStringList english = ShownTexts();
  Pick(2);
  const QStringList shown = ShownTexts();
  EXPECT_EQ(shown, InLanguage(QStringLiteral("fr"), english));
  EXPECT_TRUE(shown.contains(QStringLiteral("Tools")));
  EXPECT_TRUE(shown.contains(QStringLiteral("Then click on \"Compare\"")));
}

TEST_F(LanguageSwitchTest, PickingTheCurrentLanguageStoresItAgain) {
  Pick(0);
  EXPECT_EQ(CheckedEntries(), QList<int>{0});
  EXPECT_EQ(StoredValue(), QVariant(QStringLiteral("en")));
}

TEST_F(LanguageSwitchTest, WithoutATableTheMenuIsEmptyAndTheTextsEnglish) {
  Window.reset();
  QFile::remove(Path(QStringLiteral("transl.dt")));
  Catalogue().Load(Path(QStringLiteral("transl.dt")), QStringLiteral("de"));
  MakeWindow();
  EXPECT_TRUE(LanguageEntries().isEmpty());
  const QStringList shown = ShownTexts();
  EXPECT_EQ(QSet<QString>(shown.begin(), shown.end()), QSet<QString>(CaptionTexts.begin(), CaptionTexts.end()));
}

}  // namespace
