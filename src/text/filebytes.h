#pragma once
// Reading a file's bytes, with failures raised as EVarnoqueError naming the file.

#include <QByteArray>
#include <QString>

// All bytes of the file, or at most maxBytes of its beginning when maxBytes is not negative.
QByteArray ReadFileBytes(const QString& path, qint64 maxBytes = -1);

// The path as the user's system writes it, for messages.
QString DisplayPath(const QString& path);
