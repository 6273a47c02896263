// The real main window on Qt's offscreen platform, with two made-up addresses, a server on a
// free port, a temporary receive directory and a small fake disk for the picker. Message boxes
// are recorded instead of shown, so nothing waits for a click.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

// moc reads this file for the test class alone: the tables' Chinese identifiers are beyond it.
#ifndef Q_MOC_RUN
#include "app/qt/main_window_view.h"
#include "app/main_window.h"
#include "app/qt/folder_picker_dialog.h"
#include "app/qt/qt_text.h"
#include "app/texts.h"
#include "fake_disk.h"
#include "layout_check.h"
#include "link/reception/notices.h"
#include "tests/support/test_phone.h"
#endif

namespace quenmora::qt {
namespace {

using app::MainControl;
using testing::FakePickerSources;

class RecordingMainWindow : public MainWindowView {
 public:
  using MainWindowView::MainWindowView;
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
  std::vector<std::string> messages;
};

// The program as main() puts it together, with the test's sources.
struct OpenWindow {
  OpenWindow() {
    view.HandClicksTo(logic);
    logic.Created();
    view.show();
  }
  QTemporaryDir receiveDirectory;
  RecordingMainWindow view;
  app::MainWindow logic{view, view.executor(),
                        {.addresses = [] { return std::vector<app::HostAdapter>{{.ipv4 = {"10.1.2.3", "192.168.0.7"}}}; },
                         .picker = FakePickerSources(),
                         .port = 0,
                         .receiveDirectory = ToGbk(receiveDirectory.path()),
                         // No line that waits for time.
                         .clock = [](std::chrono::milliseconds, link::UiTask) {},
                         .files = nullptr,
                         .firewall = app::ReadFirewall,
                         .firewallPace = nullptr}};
};

std::string ExpectedInformation() {
  std::string text;
  for (const char* address : {"10.1.2.3", "192.168.0.7"}) {
    text += app::kLocalIp;
    text += address;
    text += "\r\n";
  }
  return text + std::string(app::kInstructions);
}

// Runs `inspect` on the modal window of type `Modal` once it is up (within ten seconds), from the
// event loop that the modal window runs; a window that `inspect` leaves open is closed after it,
// so a failed check cannot leave the test waiting.
template <typename Modal>
void WhenModalOpens(std::function<void(Modal&)> inspect) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, poll, [poll, inspect, tries = 0]() mutable {
    auto* modal = dynamic_cast<Modal*>(QApplication::activeModalWidget());
    if (!modal && ++tries < 500) return;
    poll->stop();
    poll->deleteLater();
    if (!modal) return;
    const QPointer<Modal> open(modal);
    inspect(*modal);
    if (open && open->isVisible()) open->done(0);
  });
  poll->start(20);
}

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class MainWindowViewTest : public QObject {
  Q_OBJECT

  std::unique_ptr<OpenWindow> window;
  QWidget* Control(MainControl control) const { return window->view.control(control); }
  template <typename Widget>
  Widget* Control(MainControl control) const { return qobject_cast<Widget*>(Control(control)); }
  std::string TextOf(MainControl control) const { return window->view.Text(control); }
  void Click(MainControl button) { QTest::mouseClick(Control(button), Qt::LeftButton); }

 private slots:
  void init() { window = std::make_unique<OpenWindow>(); }
  void cleanup() { window.reset(); }

  void controlsFollowTheTable_data() { testing::AddControlRows(app::MainWindowLayout()); }
  void controlsFollowTheTable() {
    QFETCH(int, id);
    const app::WindowSpec& layout = app::MainWindowLayout();
    const auto control = static_cast<MainControl>(id);
    const bool filledAtStart = control == MainControl::编辑框1 || control == MainControl::目录编辑框1;
    testing::CheckControl(window->view, layout, app::Control(layout, id), Control(control),
                          !filledAtStart);
    if (QTest::currentTestFailed()) return;
    testing::CheckWindow(window->view, layout);
  }

  void startsWithTheReceiveDirectoryZeroAndTheInformationFilled() {
    QCOMPARE(TextOf(MainControl::目录编辑框1), ToGbk(window->receiveDirectory.path()));
    QCOMPARE(TextOf(MainControl::标签4), std::string("0"));
    QTRY_COMPARE(TextOf(MainControl::编辑框1), ExpectedInformation());
  }

  void focusStartsInTheRosterBox() {
    QVERIFY(QTest::qWaitForWindowActive(&window->view));
    QCOMPARE(QApplication::focusWidget(), Control(MainControl::编辑框2));
  }

  // The caret and the scroll position of the information box stay where the operator left them.
  void appendKeepsTheCaretAndTheScrollPosition_data() {
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("scrolled");
    QTest::newRow("caret at the start, top line shown") << 0 << 0 << 0;
    QTest::newRow("a selection, scrolled down") << 2 << 5 << 3;
    QTest::newRow("caret at the end") << -1 << -1 << 0;
  }
  void appendKeepsTheCaretAndTheScrollPosition() {
    QFETCH(int, anchor);
    QFETCH(int, position);
    QFETCH(int, scrolled);
    QTRY_COMPARE(TextOf(MainControl::编辑框1), ExpectedInformation());
    auto* box = Control<QPlainTextEdit>(MainControl::编辑框1);
    for (int line = 0; line < 20; ++line) window->view.AppendText(MainControl::编辑框1, "\r\nline");
    const int end = box->document()->characterCount() - 1;
    QTextCursor caret = box->textCursor();
    caret.setPosition(anchor < 0 ? end : anchor);
    caret.setPosition(position < 0 ? end : position, QTextCursor::KeepAnchor);
    box->setTextCursor(caret);
    box->verticalScrollBar()->setValue(scrolled);

    window->view.AppendText(MainControl::编辑框1, "\r\n\xd5\xc5");  // 张
    QVERIFY(TextOf(MainControl::编辑框1).ends_with("line\r\n\xd5\xc5"));
    QCOMPARE(box->textCursor().anchor(), anchor < 0 ? end : anchor);
    QCOMPARE(box->textCursor().position(), position < 0 ? end : position);
    QCOMPARE(box->verticalScrollBar()->value(), scrolled);
  }

  void sendButtonRefusesAnEmptyRosterThenAMissingPhone() {
    Click(MainControl::按钮1);
    Control<QPlainTextEdit>(MainControl::编辑框2)->setPlainText(QStringLiteral("4401\t\u5f20\u4e09"));
    Click(MainControl::按钮1);
    QCOMPARE(window->view.messages, (std::vector<std::string>{std::string(link::kRosterEmpty),
                                                              std::string(link::kPhoneNotConnected)}));
  }

  void messageBoxHasTheCaptionQuenmoraOneOkButtonAndNoIcon() {
    bool seen = false;
    WhenModalOpens<QMessageBox>([&](QMessageBox& box) {
      seen = true;
      QCOMPARE(box.windowTitle(), QStringLiteral("Quenmora"));
      QCOMPARE(box.text(), QStringLiteral("\u624b\u673a\u672a\u8fde\u63a5\uff01"));  // 手机未连接！
      QCOMPARE(box.icon(), QMessageBox::NoIcon);
      QCOMPARE(box.buttons().size(), 1);
      QCOMPARE(box.standardButton(box.buttons().front()), QMessageBox::Ok);
      QCOMPARE(box.parentWidget(), &window->view);
      box.buttons().front()->click();
    });
    window->view.MainWindowView::ShowMessage(link::kPhoneNotConnected);  // returns once closed
    QVERIFY(seen);
  }

  void photosArriveInTheReceiveDirectoryAndTheCountLabelFollows() {
    const QTemporaryDir& directory = window->receiveDirectory;
    test_support::TestPhone phone(window->logic.phoneLink().port());
    // Photos begin as JPEG files do, with a byte that ends a name the network merged into a read.
    const QByteArray first("\xff\xd8 first photo");
    const QByteArray second("\xff\xd8 second");
    phone.Write("STAT||%E5%BC%A0%E4%B8%89.jpg");  // 张三.jpg
    phone.Write(first.toStdString());  // ends the name, which might have gone on in this read
    QTRY_COMPARE(TextOf(MainControl::标签4), std::string("1"));
    phone.Write("END||");
    phone.Write("STAT||%E6%9D%8E%E5%9B%9B.jpg");  // 李四.jpg
    phone.Write(second.toStdString());
    QTRY_COMPARE(TextOf(MainControl::标签4), std::string("2"));
    QTRY_COMPARE(Contents(directory.filePath(QStringLiteral("\u5f20\u4e09.jpg"))), first);
    QTRY_COMPARE(Contents(directory.filePath(QStringLiteral("\u674e\u56db.jpg"))), second);
    QCOMPARE(QDir(directory.path()).entryList(QDir::Files).size(), 2);
  }

  void rosterGoesToThePhoneInCodePage936WithCrLfRows() {
    test_support::TestPhone phone(window->logic.phoneLink().port());
    QTRY_VERIFY(!window->logic.phoneLink().currentClient().empty());
    QTRY_COMPARE(TextOf(MainControl::编辑框1), ExpectedInformation());
    // 张三 一班, then a Thai letter, which becomes "?" and is reported.
    Control<QPlainTextEdit>(MainControl::编辑框2)
        ->setPlainText(QStringLiteral("4401\t\u5f20\u4e09\t\u4e00\u73ed\n4401\t\u0e01\n"));
    Click(MainControl::按钮1);
    const std::string message = "STAT||4401\t\xd5\xc5\xc8\xfd\t\xd2\xbb\xb0\xe0\r\n4401\t?\r\n||END";
    QCOMPARE(phone.Read(message.size()), message);
    QTRY_COMPARE(TextOf(MainControl::编辑框1),
                 ExpectedInformation() + "\r\n" + std::string(app::kRosterHasUnmappable) + "\r\n" +
                     link::RosterSentNotice("127.0.0.1", "4401\t\xd5\xc5\xc8\xfd\t\xd2\xbb\xb0\xe0\r\n4401\t?\r\n") +
                     "\r\n");
    QVERIFY(window->view.messages.empty());
  }

  // 选择... opens the picker modally over the main window; what it chooses comes back.
  void chooseOpensTheModalPickerAndItsChoiceComesBack() {
    window->view.SetText(MainControl::目录编辑框1, "/home/li/Pictures");
    bool seen = false;
    WhenModalOpens<FolderPickerDialog>([&](FolderPickerDialog& picker) {
      seen = true;
      QVERIFY(picker.isModal());
      QCOMPARE(picker.parentWidget(), &window->view);
      auto* list = qobject_cast<QListWidget*>(picker.control(app::PickerControl::目录框1));
      list->setCurrentRow(list->count() - 1);  // 2024班, after 2023
      QTest::keyClick(list, Qt::Key_Return);
      QTest::mouseClick(picker.control(app::PickerControl::按钮1), Qt::LeftButton);
    });
    Click(MainControl::按钮2);  // returns once the picker has closed
    QVERIFY(seen);
    QCOMPARE(TextOf(MainControl::目录编辑框1), std::string("/home/li/Pictures/2024\xb0\xe0"));
  }

  // The window's executor: tasks from other threads run on this one in their order, and none
  // runs once the executor's owner is gone, even one queued before.
  void tasksRunInOrderOnTheWindowThreadAndNeverAfterTheWindow() {
    std::vector<int> ran;
    const std::thread::id uiThread = std::this_thread::get_id();
    std::atomic<bool> otherThread{false};
    link::UiExecutor ui = window->view.executor();
    std::thread([&] {
      for (int i = 0; i < 100; ++i)
        ui([&, i] {
          otherThread = otherThread || std::this_thread::get_id() != uiThread;
          ran.push_back(i);
        });
    }).join();
    QTRY_COMPARE(ran.size(), std::size_t{100});
    QVERIFY(!otherThread);
    QVERIFY(std::is_sorted(ran.begin(), ran.end()));

    ui([&] { ran.push_back(-1); });  // queued, not yet run
    window.reset();
    ui([&] { ran.push_back(-2); });
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCOMPARE(ran.size(), std::size_t{100});
  }
};

}  // namespace
}  // namespace quenmora::qt

QTEST_MAIN(quenmora::qt::MainWindowViewTest)
#include "main_window_view_test.moc"
