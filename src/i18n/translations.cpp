#include "i18n/translations.h"

#include "common/varnoqueerror.h"
#include "i18n/textlines.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>
#include <QStringDecoder>

#include <memory>

namespace {

// Windows primary language numbers, the locale language they stand for and the table's code.
struct TLanguageCode {
  int PrimaryLanguage;
  QLocale::Language Language;
  const char* Code;
};

constexpr TLanguageCode LanguageCodes[] = {
    {0x01, QLocale::Arabic, "ar"},    {0x04, QLocale::Chinese, "cn"},
    {0x05, QLocale::Czech, "cs"},     {0x07, QLocale::German, "de"},
    {0x08, QLocale::Greek, "el"},     {0x09, QLocale::English, "en"},
    {0x0A, QLocale::Spanish, "es"},   {0x0C, QLocale::French, "fr"},
    {0x0E, QLocale::Hungarian, "hu"}, {0x10, QLocale::Italian, "it"},
    {0x11, QLocale::Japanese, "jp"},  {0x12, QLocale::Korean, "kr"},
    {0x13, QLocale::Dutch, "nl"},     {0x15, QLocale::Polish, "pl"},
    {0x16, QLocale::Portuguese, "pt"}, {0x1F, QLocale::Turkish, "tr"},
};

constexpr auto DefaultLanguageCode = "en";
constexpr auto LanguageValueName = "CurrentLanguage";
constexpr auto TableFileName = "/transl.dt";

QString CodeOfLanguage(QLocale::Language language) {
  for (const TLanguageCode& entry : LanguageCodes)
    if (entry.Language == language) return QString::fromLatin1(entry.Code);
  return QString::fromLatin1(DefaultLanguageCode);
}

std::unique_ptr<QSettings> UserKeyStore() {
  return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                     QStringLiteral("Varnoque"), QStringLiteral("Varnoque"));
}

[[noreturn]] void Fail(const QString& reason) { throw EVarnoqueError(reason); }

QStringList ReadUtf8Lines(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) Fail(file.errorString());
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) Fail(file.errorString());
  // The default flags drop a leading byte-order mark.
  QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  const QString text = decoder.decode(bytes);
  if (decoder.hasError()) Fail(QStringLiteral("The translation table is not valid UTF-8."));
  return SplitTextLines(text);
}

}  // namespace

void TTranslationCatalogue::Load(const QString& tablePath, const QString& storedLanguageCode) {
  FCurrentCode = storedLanguageCode.isEmpty() ? SystemLanguageCode() : storedLanguageCode;
  FCurrentIndex = 0;
  FLoadFailure.clear();
  try {
    ReadTable(tablePath);
  } catch (const EVarnoqueError& error) {
    FLoadFailure = error.Message();
  } catch (...) {
    FLoadFailure = QStringLiteral("The translation table could not be read.");
  }
  // A table that failed part-way is dropped whole, so the Language menu never sees a column
  // without its name and code.
  if (!FLoadFailure.isEmpty()) {
    FColumns.clear();
    FFirstRowOfKey.clear();
    return;
  }
  for (int column = 0; column < FColumns.size(); ++column) {
    if (LanguageCode(column).compare(FCurrentCode, Qt::CaseInsensitive) == 0) {
      FCurrentIndex = column;
      break;
    }
  }
}

void TTranslationCatalogue::ReadTable(const QString& tablePath) {
  FColumns.clear();
  FFirstRowOfKey.clear();
  const QFileInfo info(tablePath);
  // A pipe or a device in its place would be read without end.
  if (!info.isFile()) Fail(QStringLiteral("Cannot find translation file:") + tablePath);
  const QStringList lines = ReadUtf8Lines(tablePath);
  bool isNumber = false;
  const QString countLine = lines.value(0);
  // toInt stops reading at a NUL character, so "2", a NUL and anything after it would count as 2.
  const int languages = countLine.contains(QChar(u'\0')) ? 0 : countLine.toInt(&isNumber);
  if (!isNumber) Fail(QStringLiteral("The first line of the translation table is not a number."));
  if (languages < 0) Fail(QStringLiteral("The translation table names a negative number of languages."));
  if (languages == 0) return;
  const qsizetype rows = (lines.size() - 1) / languages;
  if (rows < 2) Fail(QStringLiteral("The translation table lacks the language names or codes."));
  FColumns.resize(languages);
  for (int column = 0; column < languages; ++column) {
    QStringList& entries = FColumns[column];
    entries.reserve(rows);
    for (qsizetype row = 0; row < rows; ++row) entries.append(lines[row * languages + column + 1]);
  }
  // Filled from the bottom up, so a text listed twice keeps its first row.
  const QStringList& keys = FColumns.first();
  FFirstRowOfKey.reserve(keys.size());
  for (qsizetype row = keys.size() - 1; row >= 0; --row) FFirstRowOfKey.insert(keys[row], int(row));
}

QString TTranslationCatalogue::Translate(const QString& text) const {
  if (FCurrentIndex <= 0) return text;
  const auto found = FFirstRowOfKey.constFind(text);
  if (found == FFirstRowOfKey.cend()) return text;
  const QString translated = FColumns.value(FCurrentIndex).value(found.value());
  return translated.isEmpty() ? text : translated;
}

int TTranslationCatalogue::LanguageCount() const { return int(FColumns.size()); }

QString TTranslationCatalogue::LanguageName(int column) const {
  return FColumns.value(column).value(0);
}

QString TTranslationCatalogue::LanguageCode(int column) const {
  return FColumns.value(column).value(1);
}

void TTranslationCatalogue::SetCurrentLanguage(int column) {
  if (column < 0 || column >= LanguageCount()) return;
  FCurrentIndex = column;
  FCurrentCode = LanguageCode(column);
}

TTranslationCatalogue& Catalogue() {
  static TTranslationCatalogue catalogue;
  return catalogue;
}

QString Translate(const QString& text) { return Catalogue().Translate(text); }

void LoadTranslations() {
  Catalogue().Load(QCoreApplication::applicationDirPath() + QLatin1String(TableFileName),
                   StoredLanguageCode());
}

QString SystemLanguageCode() {
  const QLocale system = QLocale::system();
  const QStringList uiLanguages = system.uiLanguages();
  if (uiLanguages.isEmpty()) return CodeOfLanguage(system.language());
  return LanguageCodeForLocaleName(uiLanguages.first());
}

QString LanguageCodeForPrimaryLanguage(int primaryLanguageId) {
  const int primary = primaryLanguageId & 0xFF;
  for (const TLanguageCode& entry : LanguageCodes)
    if (entry.PrimaryLanguage == primary) return QString::fromLatin1(entry.Code);
  return QString::fromLatin1(DefaultLanguageCode);
}

QString LanguageCodeForLocaleName(const QString& localeName) {
  return CodeOfLanguage(QLocale(localeName).language());
}

QString StoredLanguageCode() {
  const QVariant value = UserKeyStore()->value(QLatin1String(LanguageValueName));
  // Only a string holds a code; a value of another type is ignored.
  return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

bool SaveStoredLanguageCode(const QString& code) {
  const auto store = UserKeyStore();
  store->setValue(QLatin1String(LanguageValueName), code);
  store->sync();
  return store->status() == QSettings::NoError;
}
