#pragma once
// The headless comparison: `varnoque --compare LEFT RIGHT [options]`, for scripts. Loads and
// compares exactly as the window does and prints the rows; exit status as GNU diff's.

#include <QStringList>

enum TExitStatus {
  esNoDifferences = 0,
  esDifferences = 1,
  esTrouble = 2,
};

// True when the command line asks for the headless command (or its help).
bool IsCompareCommand(const QStringList& arguments);

// Runs the command; the arguments follow the program name. Writes to stdout and stderr.
int RunCompareCommand(const QStringList& arguments);
