// The Linux desktop program: the main window with Qt Widgets over the same portable logic as the
// Windows program; the program ends with the window.
#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdlib>

#include "app/main_window.h"
#include "app/main_window_sources.h"
#include "app/qt/main_window_view.h"

int main(int argc, char* argv[]) {
  using namespace quenmora;
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quenmora"));
  QGuiApplication::setDesktopFileName(QStringLiteral("quenmora"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("quenmora")));
  // Qt's own texts (the edit boxes' context menu with 粘贴, the message box's button) in Chinese,
  // like the rest of the program, whatever the system's language.
  QTranslator qtTexts;
  if (qtTexts.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtTexts);

  qt::MainWindowView window;
  app::MainWindow logic(window, window.executor(), app::MachineSources());
  window.HandClicksTo(logic);
  logic.Created();
  window.show();
  const int exitCode = QApplication::exec();
  // The disk thread still waits on a file and would hold the program.
  if (!logic.WaitUntilWritten()) std::_Exit(exitCode);
  return exitCode;
}
