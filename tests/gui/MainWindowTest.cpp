#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <filesystem>

#include "FolderAscent.h"
#include "GuiTestSupport.h"
#include "MainWindow.h"
#include "Screenshots.h"
#include "TestSupport.h"
#include "TextBridge.h"
#include "config/CodesChecksum.h"
#include "config/MyIniFile.h"

using namespace tern;
using tern::test::FolderAscent;
using tern::test::ModalWatch;
using tern::test::TempDir;
using tern::test::TypeText;

namespace {

struct Desk {
  TempDir dir;
  std::string settings = dir / "settings/";
  std::string ascents = dir / "ascents";
  FolderAscent* ascent = nullptr;
  std::unique_ptr<MainWindow> window;
  QString lastMessage;

  explicit Desk(ParamList params = {"-AC"}) {
    std::filesystem::copy(test::FixturePath("app/station"), settings);
    std::filesystem::create_directories(ascents);
    WriteCodesChecksum(settings + "BUFRCODES.CNF");
    window = std::make_unique<MainWindow>(params, [this](uint8_t) {
      auto a = std::make_unique<FolderAscent>(ascents);
      ascent = a.get();
      return std::unique_ptr<TUAMessage>(std::move(a));
    });
  }
  bool Create() {
    // The working folder is the program folder with -AC; keep ASCVAR.CNF inside the test's folder.
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    ModalWatch watch([this](QWidget* w) {
      if (auto* box = qobject_cast<QMessageBox*>(w)) lastMessage = box->text();
      w->close();
    });
    const bool ok = window->Create(settings);
    std::filesystem::current_path(old);
    return ok;
  }
  std::string Ascent(const char* name) {
    const std::string path = ascents + "/" + name;
    test::WriteBytes(path, "");
    return path;
  }
  // The window with an ascent open, shown and active for the operator's keys and mouse.
  MainWindow* ActiveWithAscent() {
    if (!Create()) return nullptr;
    window->LoadAscent(Ascent("20260514_12.info"));
    window->show();
    QApplication::setActiveWindow(window.get());
    return QTest::qWaitForWindowActive(window.get()) ? window.get() : nullptr;
  }
  template <class W>
  W* Find(const char* name) {
    return window->findChild<W*>(QString::fromLatin1(name));
  }
};

bool PaintedIn(QWidget* w, const char* colour) { return w->styleSheet().contains(QString::fromLatin1(colour)); }
constexpr char kRed[] = "#d00000";
constexpr char kBlue[] = "#0000d0";
constexpr char kBlack[] = "#000000";

}  // namespace

TEST(MainWindow, ControlsCarryTheirNames) {
  Desk d;
  const char* const names[] = {"btnAscent", "lblAscent", "gbxInfo", "speAscentNumber", "lblAscentNumber", "rdgRepeated",
                               "cmbObserver", "btnDelObserver", "cmbRaRa", "lblRaRa", "lbl61616", "edtSondeId",
                               "cmbBalloon", "cmbGas", "speNozzleLift", "speTrainLen", "cmbTerminationReason",
                               "gbxBBB", "cbxBBB", "rbtCCx", "rbtRRx", "cmbBBBChar", "lblBBB", "btnTTAA", "btnTTBB",
                               "btnTTCC", "btnTTDD", "btnLayer", "btnPriz", "btnBUFRAB", "btnBUFRCD", "btnClose2"};
  for (const char* n : names) EXPECT_NE(d.Find<QWidget>(n), nullptr) << n;
}

TEST(MainWindow, CreationAppliesTheStationAndOptions) {
  Desk d;
  ASSERT_TRUE(d.Create()) << d.lastMessage.toStdString();
  EXPECT_EQ(d.window->windowTitle(), QStringLiteral("27612-центр сообщений(АВК-1М)"));
  EXPECT_EQ(QApplication::applicationDisplayName(), QStringLiteral("ЗЕНИТBUFR 27612"));
  EXPECT_TRUE(d.window->cmbRaRa->isEnabled());
  EXPECT_TRUE(d.window->cmbObserver->isEditable());
  EXPECT_TRUE(d.window->rdgRepeated->isEnabled());
  EXPECT_FALSE(d.window->speAscentNumber->isEnabled());
  EXPECT_EQ(d.window->cmbTerminationReason->count(), 2);
  EXPECT_EQ(d.window->cmbTerminationReason->currentIndex(), -1);
  EXPECT_EQ(d.window->sendButtons[kSendLayer - 1]->text(), QStringLiteral("СЛОЙ(3)"));
  for (QPushButton* b : d.window->sendButtons) EXPECT_FALSE(b->isEnabled());
}

TEST(MainWindow, FatalStopShowsTheTextAndFails) {
  Desk d;
  std::filesystem::remove(d.settings + "ASPD.CNF");
  EXPECT_FALSE(d.Create());
  EXPECT_EQ(d.lastMessage, QStringLiteral("Не найден ") + ToQ(d.settings) + QStringLiteral("ASPD.CNF"));
  EXPECT_FALSE(d.window->isVisible());
}

TEST(MainWindow, TypingIntoThePanelFollowsItsRules) {
  Desk d;
  ASSERT_TRUE(d.Create());
  d.window->LoadAscent(d.Ascent("20260514_12.info"));
  auto* w = d.window.get();
  EXPECT_TRUE(w->speAscentNumber->isEnabled());
  EXPECT_TRUE(w->sendButtons[kSendTTAA - 1]->isEnabled());
  EXPECT_FALSE(w->sendButtons[kSendBufrI - 1]->isEnabled());
  EXPECT_EQ(w->lblAscent->text(), QStringLiteral("20260514_12|14.05.26 11:30 ВСВ"));
  EXPECT_TRUE(PaintedIn(w->edtSondeId, kRed));
  EXPECT_TRUE(PaintedIn(w->gbxInfo, kRed));

  TypeText(w->edtSondeId, QStringLiteral("rs-92/123 №5"));
  EXPECT_EQ(w->edtSondeId->text(), QStringLiteral("RS-92/123№5"));
  EXPECT_TRUE(PaintedIn(w->edtSondeId, kBlue));

  TypeText(w->cmbObserver->lineEdit(), QStringLiteral("ab1ж"));
  QTest::keyClick(w->cmbObserver->lineEdit(), Qt::Key_Return);  // the entry is checked once finished
  EXPECT_EQ(w->cmbObserver->currentText(), QStringLiteral("1Ж"));
  EXPECT_TRUE(PaintedIn(w->cmbObserver, kRed));
  w->cmbObserver->lineEdit()->clear();
  TypeText(w->cmbObserver->lineEdit(), QStringLiteral("пет"));
  QTest::keyClick(w->cmbObserver->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(w->cmbObserver->currentText(), QStringLiteral("ПЕТ"));
  EXPECT_EQ(w->cmbObserver->findText(QStringLiteral("ПЕТ")), 0);

  // Inputs that keep their offered values are confirmed by visiting them.
  for (QWidget* input : std::initializer_list<QWidget*>{w->speAscentNumber, w->speNozzleLift, w->cmbBalloon,
                                                        static_cast<QWidget*>(w->repeatedGroup->button(0))}) {
    QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(input, &focus);
  }
  QApplication::processEvents();
  for (int tag : {kInfoNumber, kInfoLift, kInfoBalloon, kInfoRepeated}) EXPECT_TRUE(w->Desk().Panel.Ok[tag]) << tag;
  w->cmbRaRa->setCurrentIndex(1);
  w->cmbGas->setCurrentIndex(1);
  w->speTrainLen->setValue(90);  // out of range: back to the minimum
  EXPECT_DOUBLE_EQ(w->speTrainLen->value(), 5.0);
  EXPECT_TRUE(w->sendButtons[kSendTTBB - 1]->isEnabled());
  EXPECT_TRUE(w->sendButtons[kSendBufrI - 1]->isEnabled());
  EXPECT_FALSE(w->sendButtons[kSendBufrII - 1]->isEnabled());
  w->cmbTerminationReason->setCurrentIndex(0);
  EXPECT_TRUE(w->sendButtons[kSendBufrII - 1]->isEnabled());
  EXPECT_FALSE(PaintedIn(w->gbxInfo, kRed));

  // Alt with minus removes the selected initials like the "-" button.
  w->show();
  QApplication::setActiveWindow(w);
  ASSERT_TRUE(QTest::qWaitForWindowActive(w));
  QTest::keyClick(w, Qt::Key_Minus, Qt::AltModifier);
  EXPECT_EQ(w->cmbObserver->findText(QStringLiteral("ПЕТ")), -1);
}

TEST(MainWindow, ReopenedAscentShowsWhatWasSent) {
  Desk d;
  ASSERT_TRUE(d.Create());
  const std::string info = d.Ascent("20260514_12.info");
  test::WriteCp1251(d.ascents + "/20260514_12.GTS",
                    "[GTS]\r\nAB=14.05.2026 12:50:00\r\nBBB_AB=CCA\r\n[Ascent]\r\nnumber=44\r\nRS=X1\r\n");
  d.window->LoadAscent(info);
  QPushButton* ab = d.window->sendButtons[kSendBufrI - 1];
  EXPECT_EQ(ab->text(), QStringLiteral("BUFR I-CCA"));
  EXPECT_TRUE(ab->font().strikeOut());
  EXPECT_FALSE(d.window->sendButtons[kSendTTAA - 1]->font().strikeOut());
  EXPECT_EQ(d.window->speAscentNumber->value(), 44);
  EXPECT_EQ(d.window->edtSondeId->text(), QStringLiteral("X1"));

  // A new balloon after BUFR I went out asks for a corrected message.
  d.window->cmbBalloon->setCurrentIndex(1);
  EXPECT_TRUE(PaintedIn(ab, kRed));
  EXPECT_TRUE(PaintedIn(d.window->gbxBBB, kRed));
  d.window->cbxBBB->click();
  EXPECT_EQ(d.window->lblBBB->text(), QStringLiteral("CCA"));
  EXPECT_FALSE(d.window->rbtRRx->isEnabled());
  EXPECT_TRUE(PaintedIn(d.window->gbxBBB, kBlue));
  d.window->cbxBBB->click();
  EXPECT_EQ(d.window->lblBBB->text(), QString());
  EXPECT_TRUE(PaintedIn(d.window->gbxBBB, kBlack));
}

TEST(MainWindow, ClosingWithQAsksFirst) {
  Desk d({"-AC", "/q"});
  ASSERT_TRUE(d.Create());
  d.window->show();
  {
    ModalWatch keep([](QWidget* w) { w->findChild<QPushButton*>(QStringLiteral("Btn1"))->click(); });
    EXPECT_FALSE(d.window->close());
    EXPECT_TRUE(keep.fired);
  }
  EXPECT_TRUE(d.window->isVisible());
  d.window->Desk().BufrNotSent = false;  // a BUFR message went out
  EXPECT_TRUE(d.window->close());
}

TEST(MainWindow, ScreenshotsAreWritten) {
  Desk d;
  ASSERT_TRUE(d.Create());
  d.window->LoadAscent(d.Ascent("20260514_12.info"));
  const QString folder = QString::fromStdString(d.dir / "shots");
  ASSERT_TRUE(SaveScreenshots(*d.window, folder));
  for (const char* name : {"main.png", "choice3.png", "choice4.png"}) {
    QImage img(QDir(folder).filePath(QString::fromLatin1(name)));
    EXPECT_GT(img.width(), 300) << name;
    EXPECT_GT(img.height(), 60) << name;
  }
  if (qEnvironmentVariableIsSet("TERN_SHOTS")) SaveScreenshots(*d.window, qEnvironmentVariable("TERN_SHOTS"));
}

namespace {

// The desktop's locale for as long as the object lives; widgets made meanwhile take it.
class DefaultLocale {
 public:
  explicit DefaultLocale(const QLocale& l) : old_(QLocale()) { QLocale::setDefault(l); }
  ~DefaultLocale() { QLocale::setDefault(old_); }

 private:
  QLocale old_;
};

// The darkest pixel of a rendered widget, as a grey level: text in black reads 0.
int DarkestGrey(QWidget* w) {
  const QImage img = w->grab().toImage();
  int darkest = 255;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) darkest = std::min(darkest, qGray(img.pixel(x, y)));
  return darkest;
}

}  // namespace

TEST(MainWindow, NumbersTakeEitherSeparatorAndShowThePointInAnyLocale) {
  const DefaultLocale russian(QLocale(QLocale::Russian, QLocale::Russia));
  Desk d;
  MainWindow* w = d.ActiveWithAscent();
  ASSERT_NE(w, nullptr);
  // Each case: the box, what the operator types, the value the panel keeps and what the box shows.
  struct Case { QDoubleSpinBox* box; const char* typed; double value; const char* shown; };
  const Case cases[] = {
      {w->speNozzleLift, "2.5", 2.5, "2.50"},  {w->speNozzleLift, "1,25", 1.25, "1.25"},
      {w->speNozzleLift, "1.25", 1.25, "1.25"}, {w->speTrainLen, "25.5", 25.5, "25.5"},
      {w->speTrainLen, "30,5", 30.5, "30.5"},
  };
  for (const auto& c : cases) {
    c.box->setFocus();
    c.box->selectAll();
    QTest::keyClicks(c.box, QString::fromLatin1(c.typed));
    QTest::keyClick(c.box, Qt::Key_Return);
    EXPECT_DOUBLE_EQ(c.box->value(), c.value) << c.typed;
    EXPECT_EQ(c.box->text(), QString::fromLatin1(c.shown)) << c.typed;
  }
  EXPECT_DOUBLE_EQ(w->Desk().Panel.Lift, 1.25);
  EXPECT_DOUBLE_EQ(w->Desk().Panel.Train, 30.5);
  // The lift restored from a sent-messages file shows its hundredths.
  w->Desk().Panel.Lift = 1.25;
  w->ShowPanel();
  EXPECT_EQ(w->speNozzleLift->text(), QStringLiteral("1.25"));
}

TEST(MainWindow, UnavailableSendButtonsLookUnavailable) {
  Desk d;
  ASSERT_TRUE(d.Create());
  QPushButton* ttaa = d.window->sendButtons[kSendTTAA - 1];
  ASSERT_FALSE(ttaa->isEnabled());
  EXPECT_GT(DarkestGrey(ttaa), 100);  // no black caption on a button that does nothing
  d.window->LoadAscent(d.Ascent("20260514_12.info"));
  ASSERT_TRUE(ttaa->isEnabled());
  EXPECT_LT(DarkestGrey(ttaa), 60);
  EXPECT_FALSE(d.window->sendButtons[kSendBufrI - 1]->isEnabled());
  EXPECT_GT(DarkestGrey(d.window->sendButtons[kSendBufrI - 1]), 100);
}

TEST(MainWindow, ObserverJoinsTheListOnlyWhenItsEntryIsFinished) {
  Desk d;
  MainWindow* w = d.ActiveWithAscent();
  ASSERT_NE(w, nullptr);
  QLineEdit* edit = w->cmbObserver->lineEdit();
  auto items = [w] {
    QStringList l;
    for (int i = 0; i < w->cmbObserver->count(); ++i) l << w->cmbObserver->itemText(i);
    return l;
  };
  const QStringList before = items();

  edit->setFocus();
  TypeText(edit, QStringLiteral("иван"));
  QApplication::processEvents();
  EXPECT_EQ(items(), before);  // nothing joins while typing
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(w->cmbObserver->currentText(), QStringLiteral("ИВАН"));
  QStringList withIvan = before;
  withIvan << QStringLiteral("ИВАН");
  withIvan.sort();
  EXPECT_EQ(items(), withIvan);

  // Leaving the box finishes the entry too.
  edit->selectAll();
  TypeText(edit, QStringLiteral("пет"));
  w->edtSondeId->setFocus();
  QApplication::processEvents();
  EXPECT_NE(items().indexOf(QStringLiteral("ПЕТ")), -1);
  EXPECT_EQ(items().indexOf(QStringLiteral("ИВА")), -1);
  EXPECT_EQ(items().indexOf(QStringLiteral("ПЕ")), -1);
  EXPECT_TRUE(w->Desk().Panel.Ok[kInfoObserver]);

  // A choice from the list is an entry of its own.
  edit->setFocus();
  const int ivan = w->cmbObserver->findText(QStringLiteral("ИВАН"));
  w->cmbObserver->setCurrentIndex(ivan == 0 ? 1 : 0);
  QTest::keyClick(w->cmbObserver, ivan == 0 ? Qt::Key_Up : Qt::Key_Down);
  EXPECT_EQ(ToQ(w->Desk().Panel.ObserverText), w->cmbObserver->itemText(ivan));
}

TEST(MainWindow, AChoiceFromAListPaintsItsInputBlueAndTheListStaysBlack) {
  Desk d;
  MainWindow* w = d.ActiveWithAscent();
  ASSERT_NE(w, nullptr);
  // Each case: a list and its label; the operator opens the list with the mouse and picks another entry.
  const std::pair<QComboBox*, QLabel*> cases[] = {
      {w->cmbRaRa, w->lblRaRa}, {w->cmbBalloon, w->lblBalloon}, {w->cmbGas, w->lblGas}};
  for (const auto& [box, label] : cases) {
    QTest::mouseClick(box, Qt::LeftButton);
    ASSERT_TRUE(tern::test::WaitFor([box = box] { return box->view()->isVisible(); })) << label->text().toStdString();
    QTest::qWait(20);  // the operator looks at the list before choosing
    const int before = box->currentIndex();
    QTest::keyClick(box->view(), before + 1 < box->count() ? Qt::Key_Down : Qt::Key_Up);
    QTest::keyClick(box->view(), Qt::Key_Return);
    ASSERT_TRUE(tern::test::WaitFor([box = box] { return !box->view()->isVisible(); }));
    // Under X the window is made active again once the list has closed.
    QFocusEvent back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(box, &back);
    QApplication::processEvents();
    EXPECT_NE(box->currentIndex(), before);
    EXPECT_TRUE(PaintedIn(label, kBlue)) << label->text().toStdString();
    EXPECT_TRUE(PaintedIn(box, kBlue)) << label->text().toStdString();
  }
  // The termination list is required (red box) but its entries are drawn black.
  ASSERT_TRUE(PaintedIn(w->cmbTerminationReason, kRed));
  w->cmbTerminationReason->showPopup();
  ASSERT_TRUE(tern::test::WaitFor([w] { return w->cmbTerminationReason->view()->isVisible(); }));
  const QImage list = w->cmbTerminationReason->view()->viewport()->grab().toImage();
  int reddish = 0, dark = 0;
  for (int y = 0; y < list.height(); ++y)
    for (int x = 0; x < list.width(); ++x) {
      const QColor c = list.pixelColor(x, y);
      reddish += c.red() > 150 && c.green() < 90 && c.blue() < 90;
      dark += qGray(c.rgb()) < 60;
    }
  w->cmbTerminationReason->hidePopup();
  EXPECT_EQ(reddish, 0) << dark;
  EXPECT_GT(dark, 20) << reddish;  // the entries' text is there, in black
}
