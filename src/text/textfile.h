#pragma once
// Content classification, encoding detection, loading a file into lines and writing a side back.

#include "text/encoding.h"

#include <QStringList>

// Whether a file's beginning looks like text, and the rule that decided.
struct TTextCheck {
  bool IsText = false;
  QString Reason;
};

// Raises EVarnoqueError when the file exists but cannot be opened or read.
TTextCheck IsTextFile(const QString& path);

// The bytes are well-formed UTF-8 by the lead/continuation pattern and hold a multi-byte sequence.
bool IsValidUtf8(const char* bytes, qint64 count);

struct TDetectedEncoding {
  const TEncoding* Encoding = &TEncoding::ANSI();
  bool HasBOM = false;
  QString Name = QStringLiteral("ANSI/ASCII");
};

TDetectedEncoding DetectEncodingOfBytes(QByteArrayView bytes);
TDetectedEncoding DetectEncoding(const QString& path);

// Replaces the lines with the file's lines; raises EVarnoqueError on a read or decoding failure
// (the lines are then left unchanged).
// With a storage, the lines are views into the decoded text that the storage then holds: no line
// of its own is allocated, but no line may outlive the storage. For a process that keeps the sides
// until it ends, as the headless command does.
TDetectedEncoding LoadTextFile(const QString& path, QStringList& lines, QString* storage = nullptr);

// Splits text at CR LF, lone LF and lone CR; a final line break adds no empty line.
QStringList SplitLines(QStringView text);

// Writes the preamble, then every line followed by CR LF, replacing the file atomically: a failed
// write leaves the previous file intact. Raises EVarnoqueError on failure.
void WriteTextFile(const QString& path, const QStringList& lines, const TEncoding& encoder);
