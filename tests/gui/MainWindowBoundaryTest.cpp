// The main window keeps running whatever an operator's action raises.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <filesystem>

#include "FolderAscent.h"
#include "GuiTestSupport.h"
#include "MainWindow.h"
#include "TestSupport.h"
#include "TextBridge.h"
#include "config/CodesChecksum.h"
#include "config/MyIniFile.h"

using namespace tern;
using tern::test::ModalAnswerer;
using tern::test::TempDir;

namespace {

// Ascents whose file begins with "bad" make the reader raise its error, as a damaged ".info" does.
class DamagedAscent : public test::FolderAscent {
 public:
  using FolderAscent::FolderAscent;
  bool OpenAscent(const std::string& fileName, uint8_t& rsType) override {
    if (test::ReadBytes(fileName).rfind("bad", 0) == 0) throw TernError(ReaderText(fileName));
    return FolderAscent::OpenAscent(fileName, rsType);
  }
  static std::string ReaderText(const std::string& fileName) {
    return cp("Ошибка чтения файла .info ") + fileName + cp("\rнет строки с координатами");
  }
};

struct Window {
  TempDir dir;
  std::string settings = dir / "settings/";
  std::string ascents = dir / "ascents";
  std::string log = dir / "desk.log";
  std::unique_ptr<MainWindow> window;
  QStringList shown;  // texts of the boxes the operator saw, in order

  Window() {
    std::filesystem::copy(test::FixturePath("app/station"), settings);
    std::filesystem::create_directories(ascents);
    WriteCodesChecksum(settings + "BUFRCODES.CNF");
    window = std::make_unique<MainWindow>(ParamList{"-AC"}, [this](uint8_t) {
      return std::unique_ptr<TUAMessage>(std::make_unique<DamagedAscent>(ascents));
    });
  }
  ~Window() { Log::Disable(); }
  std::string Variables() const { return dir / "ASCVAR.CNF"; }
  std::string Ascent(const std::string& name, const char* content = "") {
    const std::string path = ascents + "/" + name;
    test::WriteBytes(path, content);
    return path;
  }
  // The operator reads every box and answers it with the given button (1 when none is given).
  ModalAnswerer Answer(std::vector<int> buttons = {}, std::string file = {}) {
    return ModalAnswerer([this, buttons, file](QWidget* w) {
      if (auto* dlg = qobject_cast<QFileDialog*>(w)) {
        dlg->selectFile(ToQ(file));
        static_cast<QDialog*>(dlg)->accept();  // the dialog checks the choice as for the operator
      } else if (auto* box = qobject_cast<TmbxMC*>(w)) {
        shown << box->lblQuerry->text();
        const size_t i = shown.size() - 1;
        box->Btn[(i < buttons.size() ? buttons[i] : 1) - 1]->click();
      } else if (auto* msg = qobject_cast<QMessageBox*>(w)) {
        shown << msg->text();
        msg->close();
      } else {
        w->close();
      }
    });
  }
  bool Create() {
    // With -AC the working folder is the program folder: ASCVAR.CNF stays in the test's folder.
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    Log::Open(log);
    auto answer = Answer();
    const bool ok = window->Create(settings);
    std::filesystem::current_path(old);
    return ok;
  }
  bool AnySendEnabled() const {
    for (QPushButton* b : window->sendButtons)
      if (b->isEnabled()) return true;
    return false;
  }
  void ShowActive() {
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
};

}  // namespace

TEST(MainWindowBoundary, ABadAscentFromTheOpenDialogIsReportedAndTheDeskGoesOn) {
  Window w;
  ASSERT_TRUE(w.Create());
  w.ShowActive();
  const std::string bad = w.Ascent("20260514_12.info", "bad\r\n");
  {
    auto answer = w.Answer({}, bad);
    QTest::mouseClick(w.window->btnAscent, Qt::LeftButton);
  }
  ASSERT_EQ(w.shown.size(), 1);
  EXPECT_EQ(w.shown[0], DisplayText(DamagedAscent::ReaderText(bad)));
  EXPECT_TRUE(w.window->isVisible());
  EXPECT_FALSE(w.AnySendEnabled());
  EXPECT_FALSE(w.window->speAscentNumber->isEnabled());

  // The same dialog then opens a good ascent as if nothing had happened.
  const std::string good = w.Ascent("20260514_00.info");
  {
    auto answer = w.Answer({}, good);
    QTest::mouseClick(w.window->btnAscent, Qt::LeftButton);
  }
  EXPECT_EQ(w.shown.size(), 1);
  EXPECT_TRUE(w.window->sendButtons[kSendTTAA - 1]->isEnabled());
}

TEST(MainWindowBoundary, ALastAscentThatCannotBeReopenedIsTheFatalStop) {
  Window w;
  const TDateTime last = NowUTC() - 1.0 / 24;
  TMyIniFile(w.Variables()).WriteDateTime("LAST", "dt", last);
  const std::string name = FormatDateTime("yyyymmdd_hh", last) + ".info";
  w.Ascent(name, "bad");
  EXPECT_FALSE(w.Create());
  EXPECT_FALSE(w.window->isVisible());
  const std::string text = DamagedAscent::ReaderText(w.ascents + "/" + name);
  EXPECT_EQ(w.shown, QStringList{DisplayText(text)});
  EXPECT_NE(test::ReadBytes(w.log).find(cp("Аварийная остановка :") + text), std::string::npos);
}

TEST(MainWindowBoundary, ClosingWhenTheVariablesCannotBeSavedAsksFirst) {
  struct Case {
    const char* what;
    int answer;  // 1 keep working, 2 close without saving
  };
  for (const Case c : {Case{"keep working", 1}, Case{"close without saving", 2}}) {
    Window w;
    ASSERT_TRUE(w.Create()) << c.what;
    w.window->LoadAscent(w.Ascent("20260514_12.info"));
    w.ShowActive();
    test::TypeText(w.window->cmbObserver->lineEdit(), QStringLiteral("пет"));
    QTest::keyClick(w.window->cmbObserver->lineEdit(), Qt::Key_Return);  // the entry is finished
    // A folder where the file should be: no write can replace it, not even root's.
    std::filesystem::create_directory(w.Variables());
    {
      auto answer = w.Answer({c.answer});
      QTest::keyClick(w.window.get(), Qt::Key_Escape);
      ASSERT_TRUE(test::WaitFor([&] { return !w.shown.isEmpty(); })) << c.what;
      QApplication::processEvents();
    }
    ASSERT_EQ(w.shown.size(), 1) << c.what;
    EXPECT_TRUE(w.shown[0].contains(ToQ(w.Variables()))) << c.what;
    EXPECT_EQ(w.window->isVisible(), c.answer == 1) << c.what;
    if (c.answer != 1) continue;

    // The operator mends the folder and closes again: the initials typed before are kept.
    std::filesystem::remove(w.Variables());
    {
      auto answer = w.Answer();
      EXPECT_TRUE(w.window->close()) << c.what;
    }
    EXPECT_EQ(TMyIniFile(w.Variables()).ReadString("SMENA", "smena0", ""), cp("ПЕТ")) << c.what;
  }
}

TEST(MainWindowBoundary, DeletingInitialsBeforeAnyAscentEnablesNoSendButton) {
  Window w;
  TMyIniFile(w.settings + "TERN2BFR.CNF").WriteBool("FM35", "InjectRaRa", false);
  TMyIniFile vars(w.Variables());
  vars.WriteInteger("SMENA", "N", 3);
  vars.WriteString("SMENA", "smena0", cp("ИВА"));
  vars.WriteString("SMENA", "smena1", cp("ПЕТ"));
  vars.WriteString("SMENA", "smena2", cp("СИД"));
  ASSERT_TRUE(w.Create());
  w.ShowActive();
  ASSERT_FALSE(w.AnySendEnabled());
  ASSERT_EQ(w.window->cmbObserver->count(), 3);

  // Without an ascent nothing checks the typing, so the entry is typed as it stands in the list.
  test::TypeText(w.window->cmbObserver->lineEdit(), QStringLiteral("ПЕТ"));
  QTest::keyClick(w.window->cmbObserver->lineEdit(), Qt::Key_Return);  // the entry is finished
  QTest::mouseClick(w.window->btnDelObserver, Qt::LeftButton);
  EXPECT_EQ(w.window->cmbObserver->findText(QStringLiteral("ПЕТ")), -1);
  EXPECT_FALSE(w.AnySendEnabled()) << "after the \"-\" button";

  ASSERT_EQ(w.window->cmbObserver->count(), 2);
  QTest::keyClick(w.window.get(), Qt::Key_Minus, Qt::AltModifier);
  EXPECT_EQ(w.window->cmbObserver->count(), 1);
  EXPECT_FALSE(w.AnySendEnabled()) << "after Alt with minus";
}
