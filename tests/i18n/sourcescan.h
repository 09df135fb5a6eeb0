#pragma once
// Finds, in C++ sources, every string literal that reaches Translate: literals written in the
// call itself and literals handed to Translate through helpers (a lambda or function whose
// parameter is translated, a local variable, a structured binding over a table of pairs).

#include <QList>
#include <QString>
#include <QStringList>

struct TTranslatedText {
  QString Text;
  QString Where;  // "file:line" of the literal
};

struct TScanResult {
  QList<TTranslatedText> Texts;  // each text once, in the order first found
  QStringList Unresolved;        // "file:line: argument" of calls whose text could not be found
};

// Scans the given source files (path and content), starting at the function named `entry`.
TScanResult ScanTranslatedTexts(const QList<std::pair<QString, QString>>& files,
                                const QString& entry = QStringLiteral("Translate"));

// Every .cpp and .h file below the folder, with its content.
QList<std::pair<QString, QString>> ReadSourceTree(const QString& root);
