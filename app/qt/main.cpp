// The Linux desktop program: the main window with Qt Widgets over the same portable logic as the
// Windows program; the program ends with the window.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTranslator>

#include <optional>
#include <string>

#include "app/main_window.h"
#include "app/platform.h"
#include "app/qt/main_window_view.h"
#include "app/qt/qt_text.h"
#include "app/start_directories.h"

namespace {

using namespace quenmora;

// Where this machine keeps the operator's photos: the Pictures folder when there is one.
app::StartDirectories StartDirectories() {
  const std::string home = qt::ToGbk(QDir::homePath());
  const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  std::optional<std::string> picturesFolder;
  if (!pictures.isEmpty() && QFileInfo(pictures).isDir()) picturesFolder = qt::ToGbk(pictures);
  return app::HomeStartDirectories(home, picturesFolder);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quenmora"));
  QGuiApplication::setDesktopFileName(QStringLiteral("quenmora"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("quenmora")));
  // Qt's own texts (the edit boxes' context menu with 粘贴, the message box's button) in Chinese,
  // like the rest of the program, whatever the system's language.
  QTranslator qtTexts;
  if (qtTexts.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtTexts);

  const app::StartDirectories start = StartDirectories();
  qt::MainWindowView window({.lister = app::ListSubdirectories,
                             .driveRoots = app::DriveRoots,
                             .start = start.picker});
  app::MainWindow logic(window, window.executor(), app::LocalIpv4Addresses, link::kPhonePort,
                        start.receiveDirectory, app::FirewallWatch(app::ReadFirewall));
  window.HandClicksTo(logic);
  logic.Created();
  window.show();
  return QApplication::exec();
}
