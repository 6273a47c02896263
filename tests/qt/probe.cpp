// Loaded into the real program with LD_PRELOAD by the tests that run it under Xvfb, it reads and
// drives the windows from inside, as an operator would: clicks and the context menu go through
// the window system's event path. It answers one command per connection on the Unix socket named
// by QUENMORA_PROBE, with one line:
//   text info|roster|directory|count|selected   the control's text, lines joined by "\n"
//   rect main|picker                            the window's client area on screen: X Y W H
//   clipboard FILE                              puts the UTF-8 text of FILE on the clipboard
//   paste roster                                right-click, then 粘贴 from the context menu
//   click send|choose|ok|cancel                 a left click
// A paste and a click are made once the answer is sent: what a click opens (the modal picker) runs
// an event loop of its own until it closes.
//   picker                                      "open" while the folder picker is shown
//   close                                       closes the main window
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <cstdlib>
#include <optional>

#include "app/layout.h"

namespace {

using quenmora::app::MainControl;
using quenmora::app::PickerControl;
namespace app = quenmora::app;

QWidget* MainWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->isVisible() && widget->windowTitle() == QStringLiteral("Quenmora") &&
        !qobject_cast<QDialog*>(widget))
      return widget;
  return nullptr;
}

QWidget* Picker() { return qobject_cast<QDialog*>(QApplication::activeModalWidget()); }

// A control is the widget at its place in the table: the probe needs nothing of the front end
// but the layout both share.
QWidget* Find(QWidget* window, const app::WindowSpec& layout, int id) {
  if (!window) return nullptr;
  const app::Rect rect = app::ClientRect(layout, app::Control(layout, id));
  for (QWidget* widget : window->findChildren<QWidget*>()) {
    if (widget->mapTo(window, QPoint(0, 0)) == QPoint(rect.left, rect.top) &&
        widget->size() == QSize(rect.width, rect.height))
      return widget;
  }
  return nullptr;
}

QWidget* FindMain(MainControl control) {
  return Find(MainWindow(), app::MainWindowLayout(), static_cast<int>(control));
}

QWidget* FindPicker(PickerControl control) {
  return Find(Picker(), app::FolderPickerLayout(), static_cast<int>(control));
}

QWidget* Named(const QString& name) {
  if (name == "info") return FindMain(MainControl::编辑框1);
  if (name == "roster") return FindMain(MainControl::编辑框2);
  if (name == "directory") return FindMain(MainControl::目录编辑框1);
  if (name == "count") return FindMain(MainControl::标签4);
  if (name == "send") return FindMain(MainControl::按钮1);
  if (name == "choose") return FindMain(MainControl::按钮2);
  if (name == "selected") return FindPicker(PickerControl::编辑框1);
  if (name == "ok") return FindPicker(PickerControl::按钮1);
  if (name == "cancel") return FindPicker(PickerControl::按钮2);
  return nullptr;
}

QString TextOf(QWidget* widget) {
  if (auto* box = qobject_cast<QPlainTextEdit*>(widget)) return box->toPlainText();
  if (auto* line = qobject_cast<QLineEdit*>(widget)) return line->text();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  return {};
}

// A click of `button` at the middle of `widget`, through its window as the window system
// delivers one.
void Click(QWidget* widget, Qt::MouseButton button) {
  QWidget* window = widget->window();
  const QPoint at = widget->mapTo(window, widget->rect().center());
  QTest::mouseClick(window->windowHandle(), button, Qt::NoModifier, at);
}

// Right-clicks the box and chooses the paste item of the context menu that opens (Escape when it
// has none, which leaves the box as it was). The text box opens its menu with popup(), not exec():
// the click returns with the menu still open, so the watch for it outlives this call.
void Paste(QWidget* box) {
  auto* poll = new QTimer(box);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, tries = 0]() mutable {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu && ++tries <= 500) return;
    poll->stop();
    poll->deleteLater();
    if (!menu) return;
    bool found = false;
    for (QAction* action : menu->actions()) {
      if (action->objectName() == QStringLiteral("edit-paste") && action->isEnabled()) {
        menu->setActiveAction(action);
        found = true;
      }
    }
    QTest::keyClick(menu, found ? Qt::Key_Return : Qt::Key_Escape);
  });
  poll->start(20);
  Click(box, Qt::RightButton);
}

QString Answer(const QString& line) {
  const QString command = line.section(' ', 0, 0);
  const QString argument = line.section(' ', 1);
  if (command == "picker") return Picker() ? "open" : "closed";
  if (command == "close") {
    if (QWidget* window = MainWindow()) QTimer::singleShot(0, window, &QWidget::close);
    return "ok";
  }
  if (command == "clipboard") {
    QFile file(argument);
    if (!file.open(QIODevice::ReadOnly)) return "cannot read " + argument;
    QApplication::clipboard()->setText(QString::fromUtf8(file.readAll()));
    return "ok";
  }
  if (command == "rect") {
    QWidget* window = argument == "picker" ? Picker() : MainWindow();
    if (!window) return "no such window";
    const QRect area(window->mapToGlobal(QPoint(0, 0)), window->size());
    return QStringLiteral("%1 %2 %3 %4").arg(area.x()).arg(area.y()).arg(area.width()).arg(area.height());
  }
  QWidget* widget = Named(argument);
  if (!widget) return "no control " + argument;
  if (command == "text") return TextOf(widget).replace('\n', "\\n");
  if (command == "paste") {
    QTimer::singleShot(0, widget, [widget] { Paste(widget); });
    return "ok";
  }
  if (command == "click") {
    QTimer::singleShot(0, widget, [widget] { Click(widget, Qt::LeftButton); });
    return "ok";
  }
  return "unknown command " + command;
}

void StartProbe() {
  const char* path = std::getenv("QUENMORA_PROBE");
  if (!path || !*path) return;
  auto* server = new QLocalServer(QCoreApplication::instance());
  QLocalServer::removeServer(QString::fromLocal8Bit(path));
  if (!server->listen(QString::fromLocal8Bit(path))) qFatal("probe: cannot listen on %s", path);
  QObject::connect(server, &QLocalServer::newConnection, server, [server] {
    while (QLocalSocket* socket = server->nextPendingConnection()) {
      QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket] {
        if (!socket->canReadLine()) return;
        const QString line = QString::fromUtf8(socket->readLine()).trimmed();
        socket->write(Answer(line).toUtf8() + '\n');
        socket->flush();
        socket->disconnectFromServer();
      });
    }
  });
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(StartProbe)
