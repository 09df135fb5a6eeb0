#include "app/application.h"

#include "app/userinterface.h"
#include "common/varnoqueerror.h"

#include <QSocketNotifier>
#include <QWidget>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const EVarnoqueError& error) {
    ShowError(error.Message());
  } catch (const std::exception& error) {
    ShowError(QString::fromUtf8(error.what()));
  }
  return false;
}

void TApplication::ShowError(const QString& message) {
  if (FUi) {
    FUi->SetPointer(crDefault);
    FUi->ShowMessage(mkError, message);
  }
}

namespace {
int gSignalPipe[2] = {-1, -1};

void OnTerminationSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const auto written = ::write(gSignalPipe[1], &byte, 1);
}
}  // namespace

void CloseWindowOnTerminationSignals(QWidget* window) {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, gSignalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, window);
  QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
    char byte = 0;
    [[maybe_unused]] const auto read = ::read(gSignalPipe[0], &byte, 1);
    window->close();
  });
  struct sigaction action = {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}
