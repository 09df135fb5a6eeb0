#pragma once
// The error raised by guards, file-system and decoding failures. Commands let it travel to the
// application's general error handler, which shows its message in an error box.

#include <QString>
#include <exception>

class EVarnoqueError : public std::exception {
public:
  explicit EVarnoqueError(QString message) : FMessage(std::move(message)), FUtf8(FMessage.toUtf8()) {}
  const QString& Message() const noexcept { return FMessage; }
  const char* what() const noexcept override { return FUtf8.constData(); }

private:
  QString FMessage;
  QByteArray FUtf8;
};
