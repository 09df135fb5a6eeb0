#pragma once
// Checks inside the fuzz targets. A failed check prints what did not hold and aborts, which
// libFuzzer reports as a crash and saves the input that caused it.

#include <QString>

#include <cstdio>
#include <cstdlib>

namespace fuzzcheck {

[[noreturn]] inline void Fail(const char* file, int line, const char* condition, const QString& detail) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
  if (!detail.isEmpty()) std::fprintf(stderr, "  %s\n", detail.toUtf8().constData());
  std::abort();
}

// The code units of a text in hexadecimal, for messages about texts with control characters.
inline QString Units(const QString& text) {
  QString shown;
  for (QChar c : text) shown += QString::asprintf("%04X ", c.unicode());
  return shown.trimmed();
}

}  // namespace fuzzcheck

#define FUZZ_CHECK(condition) FUZZ_CHECK_MSG(condition, QString())
#define FUZZ_CHECK_MSG(condition, detail)                                          \
  do {                                                                             \
    if (!(condition)) fuzzcheck::Fail(__FILE__, __LINE__, #condition, (detail));   \
  } while (false)
