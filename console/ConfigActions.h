#pragma once

// Save Config and Load Config: the main window's actions around the
// configuration file.

#include <QString>

#include <functional>

class QWidget;
class TFilterForm;
class TModuleCallback;
namespace Filter {
class TFilterServer;
}

// Asks for the file name to save to (save) or load from; empty for Cancel.
// Tests replace the file dialog with a hook; null restores it. Answers the old hook.
using TConfigFileHook = std::function<QString(bool save)>;
TConfigFileHook SetConfigFileHook(TConfigFileHook hook);

// Writes the filter's settings and every listed switch to a file the user
// picks; a failure is reported and leaves an existing file as it was.
void SaveConsoleConfig(QWidget* parent, Filter::TFilterServer* filter, TModuleCallback* host);

// Reads a file the user picks into the filter. True when the caller is to run
// a discovery: the file was read, with or without discovery settings.
bool LoadConsoleConfig(QWidget* parent, TFilterForm* filter);
