#pragma once
// The toolkit's own texts (the buttons of message boxes, the file, font and colour choosers) in
// the current UI language, from the translations Qt ships.

#include <QString>

// Replaces the toolkit translation with the one for the language code ("de", "jp", ...); the
// toolkit stays English when there is none.
void InstallToolkitTranslations(const QString& languageCode);
