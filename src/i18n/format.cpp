#include "i18n/format.h"

#include <QLocale>

namespace {

// The placeholders the program's texts use; anything else after a '%' is copied as it stands.
enum class TPlaceholder { Integer, String, OneDecimal, TwoHexDigits };

struct TPlaceholderForm {
  QStringView Text;
  TPlaceholder Kind;
};

constexpr TPlaceholderForm Forms[] = {
    {u"%d", TPlaceholder::Integer},
    {u"%s", TPlaceholder::String},
    {u"%.1f", TPlaceholder::OneDecimal},
    {u"%2.2x", TPlaceholder::TwoHexDigits},
};

const TPlaceholderForm* FormAt(QStringView rest) {
  for (const TPlaceholderForm& form : Forms)
    if (rest.startsWith(form.Text)) return &form;
  return nullptr;
}

// The filled placeholder, or false when the argument does not fit it.
bool Fill(TPlaceholder kind, const QVariant& arg, QString& out) {
  bool ok = true;
  switch (kind) {
    case TPlaceholder::Integer: {
      const qlonglong value = arg.toLongLong(&ok);
      if (ok) out = QString::number(value);
      break;
    }
    case TPlaceholder::String:
      out = arg.toString();
      break;
    case TPlaceholder::OneDecimal: {
      const double value = arg.toDouble(&ok);
      QLocale locale;
      locale.setNumberOptions(QLocale::OmitGroupSeparator);
      if (ok) out = locale.toString(value, 'f', 1);
      break;
    }
    case TPlaceholder::TwoHexDigits: {
      const qlonglong value = arg.toLongLong(&ok);
      // Negative numbers print as their 32-bit pattern, as a C formatter would.
      if (ok) out = QString::number(quint32(value), 16).toUpper().rightJustified(2, u'0');
      break;
    }
  }
  return ok;
}

}  // namespace

QString FormatText(const QString& format, const QVariantList& args) {
  QString result;
  result.reserve(format.size() + 16);
  qsizetype next = 0;
  const QStringView text(format);
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] != u'%') {
      result.append(text[i]);
      continue;
    }
    const QStringView rest = text.mid(i);
    if (rest.startsWith(u"%%")) {
      result.append(u'%');
      ++i;
      continue;
    }
    const TPlaceholderForm* form = FormAt(rest);
    if (!form) {
      result.append(u'%');
      continue;
    }
    // A missing or unfitting argument leaves the placeholder in the text; each placeholder takes
    // its own argument either way, so the ones after it stay in step.
    QString filled;
    if (next < args.size() && Fill(form->Kind, args[next++], filled))
      result.append(filled);
    else
      result.append(form->Text);
    i += form->Text.size() - 1;
  }
  return result;
}
