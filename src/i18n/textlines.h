#pragma once
// Text to lines: a line ends at CR LF, a lone LF or a lone CR; a final line break adds no empty
// line. Shared by the translation table reader and the text file loader (which links this library).

#include <QStringList>
#include <QStringView>

QStringList SplitTextLines(QStringView text);
