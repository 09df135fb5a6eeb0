#pragma once
// The translation catalogue: every visible text passes through Translate when it is shown.
// One process-wide catalogue, loaded once at start-up from "transl.dt" beside the executable.

#include <QHash>
#include <QString>
#include <QStringList>

class TTranslationCatalogue {
public:
  // Picks the language (key store, else the system) and reads the table at the path; absorbs
  // every failure of the file (the catalogue then translates nothing).
  void Load(const QString& tablePath, const QString& storedLanguageCode);
  QString Translate(const QString& text) const;

  int LanguageCount() const;            // columns of the table
  QString LanguageName(int column) const;  // row 0, empty when the column lacks it
  QString LanguageCode(int column) const;  // row 1, empty when the column lacks it
  int CurrentLanguageIndex() const { return FCurrentIndex; }
  QString CurrentLanguageCode() const { return FCurrentCode; }
  void SetCurrentLanguage(int column);  // index and code of that column; ignored when out of range
  // Why the last Load found no table (empty when it loaded one); never shown to the user.
  QString LoadFailure() const { return FLoadFailure; }

private:
  void ReadTable(const QString& tablePath);

  QList<QStringList> FColumns;
  QHash<QString, int> FFirstRowOfKey;  // English text -> first row holding it
  QString FCurrentCode;
  QString FLoadFailure;
  int FCurrentIndex = 0;
};

// The process-wide catalogue used by Translate.
TTranslationCatalogue& Catalogue();

QString Translate(const QString& text);

// Loads the process-wide catalogue from the executable's folder, with the code stored in the
// per-user key store ("CurrentLanguage") or else the system UI language.
void LoadTranslations();

// The code of the system's UI language ("de", "jp", ...; "en" for languages without a code).
QString SystemLanguageCode();
// The code for a Windows primary language number (low 8 bits of a language identifier).
QString LanguageCodeForPrimaryLanguage(int primaryLanguageId);
// The code for a locale name such as "de-AT" or "ja_JP" ("en" for languages without a code).
QString LanguageCodeForLocaleName(const QString& localeName);

// The per-user key store value "CurrentLanguage" (empty when absent), and writing it.
QString StoredLanguageCode();
bool SaveStoredLanguageCode(const QString& code);
