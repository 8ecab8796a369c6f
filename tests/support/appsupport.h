#ifndef APPSUPPORT_H
#define APPSUPPORT_H

#include <QString>

#include <memory>

class MainWindow;

// The settings file and the translations as the main window meets them in a
// test: the file lies beside the test executable, the compiled English
// translation in the build tree.
namespace appsupport {

/// The settings file the main window reads and writes (beside the test executable).
QString IniPath();

/// Replaces the settings file with `text` (INI lines, written as UTF-8).
bool WriteIni(const QString &text);

/// The build tree's root, which holds translations/zymreader_en.qm (a
/// "PathToTransFolder" value); empty when CTest did not say.
QString BuildRoot();

/// Settings lines that make "Angieski" load the English translation of the build.
QString EnglishIniLines();

/// A main window whose meter check refuses every address, so nothing a test
/// triggers can reach the network.
std::unique_ptr<MainWindow> NewWindow();

/// What `window` writes under `key` ("Group/key") when a close is accepted:
/// its settings written as the close writes them, and read back.
QString SavedSetting(MainWindow *window, const QString &key);

/// The meter address `window` turns to now: it is asked to connect with a
/// stand-in check that notes the address and refuses (the notice that
/// follows is answered), and keeps refusing every address afterwards.
QString MeterAddress(MainWindow *window);

/// Closes `window` the way the user does. When `answer` is not empty the
/// close question is expected and answered with that button's text.
/// Returns whether the window accepted the close.
bool CloseWindow(MainWindow *window, const QString &answer);

} // namespace appsupport

#endif // APPSUPPORT_H
