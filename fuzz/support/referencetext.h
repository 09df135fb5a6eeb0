#pragma once
// Slow, literal renderings of the text rules that several targets check the program against:
// written for clarity only, and sharing no code with src/.

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

namespace reference {

// The lead/continuation byte pattern test: every byte of 80 or above starts a sequence of the
// length its high bits give, whose continuation bytes are all 10xxxxxx; true only when at least
// one such sequence was seen. Overlong forms and encoded surrogates pass.
bool MatchesUtf8Pattern(QByteArrayView bytes);

// Well-formed UTF-8 as the Unicode standard defines it (no overlong forms, no surrogates, nothing
// above U+10FFFF), decoded; nullopt for anything else. A byte-order mark is kept as U+FEFF.
std::optional<QString> DecodeUtf8Strict(QByteArrayView bytes);

// UTF-16 code units from byte pairs; nullopt for an odd byte count or a surrogate without its
// partner.
std::optional<QString> DecodeUtf16Strict(QByteArrayView bytes, bool bigEndian);

// Lines end at CR LF, a lone LF or a lone CR; a break at the very end starts no further line.
QStringList SplitLines(const QString& text);

}  // namespace reference
