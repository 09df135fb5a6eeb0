#pragma once
// Files for the targets whose code under test reads a path: a private temporary folder, made once
// per fuzzing process and removed when it ends.

#include <QByteArray>
#include <QString>

// The path of the named file in the folder (the file itself is not made).
QString ScratchPath(const QString& name);

// Writes the bytes to the named file, replacing it, and returns its path.
QString WriteScratchFile(const QString& name, const QByteArray& bytes);
