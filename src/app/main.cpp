#include "app/application.h"
#include "app/comparecommand.h"
#include "app/heapreserve.h"
#include "app/appicons.h"
#include "app/tfrmmain.h"
#include "common/appinfo.h"
#include "i18n/toolkittranslations.h"
#include "i18n/translations.h"
#include "settings/settingsdialog.h"
#include "update/tfrmnewversion.h"
#include "update/updateoffer.h"

#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

QStringList ArgumentsOf(int argc, char** argv) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
  return arguments;
}

int RunHeadless(int argc, char** argv, const QStringList& arguments) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(appinfo::Title());
  LoadTranslations();
  const int status = RunCompareCommand(arguments);
  // Nothing is kept after a headless run: end without taking the process's objects apart.
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(status);
}

}  // namespace

int main(int argc, char** argv) {
  PrepareHeap();
  const QStringList arguments = ArgumentsOf(argc, argv);
  if (IsCompareCommand(arguments)) return RunHeadless(argc, argv, arguments);

  TApplication app(argc, argv);
  QApplication::setApplicationName(appinfo::Title());
  QApplication::setWindowIcon(AppIcon(QStringLiteral("varnoque")));
  TDesktopUserInterface ui;
  app.SetUserInterface(&ui);
  LoadTranslations();
  InstallToolkitTranslations(Catalogue().CurrentLanguageCode());
  if (!OfferUpdate(ui)) return 0;

  TfrmMain window(ui);
  ui.SetParent(&window);
  TfrmSettings settings(ui, &window);
  window.SetSettingsDialog(&settings);
  TfrmNewVersion laterOffer(ui, &window);
  CloseWindowOnTerminationSignals(&window);
  window.show();
  // Two paths on the command line are compared as soon as the window is shown.
  if (arguments.size() == 2) {
    window.SetPaths(arguments[0], arguments[1]);
    QTimer::singleShot(0, &window, [&window] { window.RunCommand([&window] { window.btnCompareClick(); }); });
  }
  return app.exec();
}
