#pragma once
// The application object: the application's general error handler catches an error that
// escaped a command anywhere in the event loop and shows it in an error box; the program goes on.

#include <QApplication>

class TUserInterface;

class TApplication : public QApplication {
public:
  TApplication(int& argc, char** argv);
  void SetUserInterface(TUserInterface* ui) { FUi = ui; }
  bool notify(QObject* receiver, QEvent* event) override;

private:
  void ShowError(const QString& message);

  TUserInterface* FUi = nullptr;
};

// SIGTERM and SIGINT close the main window as its close box does, so nothing is lost that the
// close box keeps (the settings are written).
void CloseWindowOnTerminationSignals(QWidget* window);
