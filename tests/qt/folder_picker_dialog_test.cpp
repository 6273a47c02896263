// The real folder picker on Qt's offscreen platform, over a small fake disk, shown on its own so
// that the test can look at it while it is open.

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

// moc reads this file for the test class alone: the tables' Chinese identifiers are beyond it.
#ifndef Q_MOC_RUN
#include "app/qt/folder_picker_dialog.h"
#include "app/folder_picker.h"
#include "app/qt/qt_text.h"
#include "fake_disk.h"
#include "layout_check.h"
#endif

namespace quenmora::qt {
namespace {

using app::PickerControl;
// The dialog as RunModal opens it, shown without the modal loop so the test can look at it.
struct OpenPicker {
  explicit OpenPicker(std::string receiveDirectory)
      : logic(dialog, testing::FakePickerSources(), std::move(receiveDirectory),
              [this](std::string_view chosen) { written.emplace_back(chosen); }) {
    dialog.Attach(logic);
    dialog.show();
  }
  std::vector<std::string> written;
  FolderPickerDialog dialog{nullptr};
  app::FolderPicker logic;
};

QStringList Lines(const QListWidget& list) {
  QStringList lines;
  for (int row = 0; row < list.count(); ++row) lines << list.item(row)->text();
  return lines;
}

class FolderPickerDialogTest : public QObject {
  Q_OBJECT

  std::unique_ptr<OpenPicker> picker;
  void Open(const std::string& receiveDirectory) { picker = std::make_unique<OpenPicker>(receiveDirectory); }
  QComboBox* Drives() const { return qobject_cast<QComboBox*>(picker->dialog.control(PickerControl::驱动框1)); }
  QListWidget* Directories() const {
    return qobject_cast<QListWidget*>(picker->dialog.control(PickerControl::目录框1));
  }
  QLabel* Selected() const { return qobject_cast<QLabel*>(picker->dialog.control(PickerControl::编辑框1)); }
  // A double click as the window system delivers one: press, release, press, release.
  void DoubleClickRow(int row) const {
    QListWidget* list = Directories();
    list->doItemsLayout();  // the list lays its items out late; now, so the row has its place
    const QPoint centre = list->visualItemRect(list->item(row)).center();
    QTest::mouseDClick(picker->dialog.windowHandle(), Qt::LeftButton, {},
                       list->viewport()->mapTo(&picker->dialog, centre));
  }

 private slots:
  void cleanup() { picker.reset(); }

  void controlsFollowTheTable_data() { testing::AddControlRows(app::FolderPickerLayout()); }
  void controlsFollowTheTable() {
    QFETCH(int, id);
    Open("/home/li");
    const app::WindowSpec& layout = app::FolderPickerLayout();
    const bool filledAtStart = static_cast<PickerControl>(id) == PickerControl::编辑框1;
    testing::CheckControl(picker->dialog, layout, app::Control(layout, id),
                          picker->dialog.control(static_cast<PickerControl>(id)), !filledAtStart);
    if (QTest::currentTestFailed()) return;
    testing::CheckWindow(picker->dialog, layout);
  }

  void opensOnTheReceiveDirectoryWithTheDriveThatHoldsIt_data() {
    QTest::addColumn<QString>("receiveDirectory");
    QTest::addColumn<QString>("drive");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("current");
    QTest::newRow("Pictures") << "/home/li/Pictures" << "/home/li" << "/home/li/Pictures"
                              << QStringList{"/", "   home", "      li", "         Pictures",
                                             "            2023", "            2024\u73ed"}
                              << 3;
    QTest::newRow("empty box: home") << "" << "/home/li" << "/home/li"
                                     << QStringList{"/", "   home", "      li", "         Documents",
                                                    "         Pictures"}
                                     << 2;
    QTest::newRow("USB stick") << "/media/li/USB" << "/media/li/USB" << "/media/li/USB"
                               << QStringList{"/", "   media", "      li", "         USB",
                                              "            DCIM"}
                               << 3;
    QTest::newRow("relative: home drive") << "photos" << "/home/li" << "photos"
                                          << QStringList{"photos"} << 0;
  }
  void opensOnTheReceiveDirectoryWithTheDriveThatHoldsIt() {
    QFETCH(QString, receiveDirectory);
    QFETCH(QString, drive);
    QFETCH(QString, selected);
    QFETCH(QStringList, lines);
    QFETCH(int, current);
    Open(ToGbk(receiveDirectory));
    QCOMPARE(Drives()->currentText(), drive);
    QCOMPARE(Selected()->text(), selected);
    QCOMPARE(Lines(*Directories()), lines);
    QCOMPARE(Directories()->currentRow(), current);
  }

  void choosingADriveResetsTheListToItsRoot() {
    Open("/home/li/Pictures");
    QCOMPARE(Drives()->count(), 3);
    Drives()->setFocus();
    QTest::keyClick(Drives(), Qt::Key_Down);  // the operator's choice: /media/li/USB
    QCOMPARE(Drives()->currentText(), QStringLiteral("/media/li/USB"));
    QCOMPARE(Selected()->text(), QStringLiteral("/media/li/USB"));
    QCOMPARE(Lines(*Directories()),
             (QStringList{"/", "   media", "      li", "         USB", "            DCIM"}));
  }

  void doubleClickAndEnterOpenEntriesAndEnterDoesNotPressOk() {
    Open("/home/li");
    QListWidget* list = Directories();
    DoubleClickRow(4);  // Pictures
    QCOMPARE(Selected()->text(), QStringLiteral("/home/li/Pictures"));
    QCOMPARE(list->count(), 6);
    list->setFocus();
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(Selected()->text(), QStringLiteral("/"));
    QCOMPARE(Lines(*list), (QStringList{"/", "   home", "   media", "   tmp"}));
    QVERIFY(picker->dialog.isVisible());
    QVERIFY(picker->written.empty());
  }

  // Only the left button refreshes; the refresh copies the list's value into the label again.
  void aLeftPressOnTheListRefreshesTheSelectedDirectory_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QString>("label");
    QTest::newRow("left") << Qt::LeftButton << "/home/li";
    QTest::newRow("right") << Qt::RightButton << "stale";
  }
  void aLeftPressOnTheListRefreshesTheSelectedDirectory() {
    QFETCH(Qt::MouseButton, button);
    QFETCH(QString, label);
    Open("/home/li");
    Selected()->setText(QStringLiteral("stale"));
    const QPoint belowTheEntries(5, Directories()->viewport()->height() - 3);
    QTest::mousePress(Directories()->viewport(), button, {}, belowTheEntries);
    QTest::mouseRelease(Directories()->viewport(), button, {}, belowTheEntries);
    QCOMPARE(Selected()->text(), label);
  }

  void okWritesTheListsValueAndEveryOtherWayOutNothing_data() {
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("writes");
    QTest::newRow("OK") << "ok" << true;
    QTest::newRow("cancel") << "cancel" << false;
    QTest::newRow("Escape") << "escape" << false;
    QTest::newRow("close box") << "close" << false;
  }
  void okWritesTheListsValueAndEveryOtherWayOutNothing() {
    QFETCH(QString, way);
    QFETCH(bool, writes);
    Open("/home/li/Pictures/");
    DoubleClickRow(4);  // 2023
    if (way == "ok") QTest::mouseClick(picker->dialog.control(PickerControl::按钮1), Qt::LeftButton);
    if (way == "cancel") QTest::mouseClick(picker->dialog.control(PickerControl::按钮2), Qt::LeftButton);
    if (way == "escape") QTest::keyClick(&picker->dialog, Qt::Key_Escape);
    if (way == "close") picker->dialog.close();
    QVERIFY(!picker->dialog.isVisible());
    QCOMPARE(picker->written, writes ? std::vector<std::string>{"/home/li/Pictures/2023"}
                                     : std::vector<std::string>{});
  }
};

}  // namespace
}  // namespace quenmora::qt

QTEST_MAIN(quenmora::qt::FolderPickerDialogTest)
#include "folder_picker_dialog_test.moc"
