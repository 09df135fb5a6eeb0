#pragma once
// Extracting the plain text of a document through an Apache Tika server: one PUT of the whole
// file per document, plain text back.

#include <QString>
#include <QUrl>

struct TExtraction {
  bool Success = false;
  QString Text;
  QString Error;  // empty on success, and for a success answer without text
};

// http://localhost:9998/tika, or the address in VARNOQUE_TIKA_URL.
QUrl TikaEndpoint();
// 30 seconds for each read from the connection, or VARNOQUE_TIKA_TIMEOUT_MS milliseconds.
int TikaReadTimeout();

// Sends the file to the server and waits for the answer. The wait lets timers and painting go
// on but no user input through, so no other command starts meanwhile.
TExtraction ExtractTextWithTika(const QString& path);

// "Comparison failed." with one line per side: "Left: OK" or "Left: " and the side's error.
QString DocumentFailureText(const TExtraction& left, const TExtraction& right);
// The hint that the Tika server may not have been installed, naming the program.
QString TikaInstallHint();
