#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "FolderAscent.h"
#include "TestSupport.h"
#include "app/Desk.h"
#include "base/Files.h"
#include "config/CodesChecksum.h"
#include "config/MyIniFile.h"

using namespace tern;
using tern::test::FolderAscent;
using tern::test::TempDir;

namespace {

// The program folder is the working folder with -AC; each test that writes there moves into its own.
class WorkingFolder {
 public:
  explicit WorkingFolder(const std::string& path) : old_(std::filesystem::current_path()) {
    std::filesystem::create_directories(path);
    std::filesystem::current_path(path);
  }
  ~WorkingFolder() { std::filesystem::current_path(old_); }

 private:
  std::filesystem::path old_;
};

const TDateTime kNow = EncodeDateTime(2026, 5, 14, 13, 0, 0);  // UTC; the reference time is an hour earlier

struct DeskFixture {
  TempDir dir;
  std::string settings = dir / "settings/";
  std::string ascents = dir / "ascents";
  std::string log = dir / "desk.log";
  ScriptedOperator op;
  int factoryCode = -1;
  FolderAscent* ascent = nullptr;
  ParamList params{"-AC"};

  DeskFixture() {
    std::filesystem::copy(test::FixturePath("app/station"), settings);
    std::filesystem::create_directories(ascents);
    WriteCodesChecksum(settings + "BUFRCODES.CNF");
  }
  void Set(const std::string& file, const char* section, const char* key, const std::string& value) {
    TMyIniFile(settings + file).WriteString(section, key, value);
  }
  void Drop(const std::string& file, const char* section, const char* key) {
    TMyIniFile(settings + file).DeleteKey(section, key);
  }
  std::unique_ptr<TDesk> Make() {
    auto desk = std::make_unique<TDesk>(params, op, [this](uint8_t code) {
      factoryCode = code;
      auto a = std::make_unique<FolderAscent>(ascents);
      ascent = a.get();
      return std::unique_ptr<TUAMessage>(std::move(a));
    });
    return desk;
  }
  // Runs the creation sequence; the fatal stop's text, empty when it went through.
  std::string Start(TDesk& desk) {
    Log::Open(log, 46000);
    std::string text;
    try {
      desk.Create(settings, kNow);
    } catch (const TernError& e) {
      text = TDesk::FatalStop(e);
    }
    Log::Disable();
    return text;
  }
};

}  // namespace

TEST(DeskStart, EachBrokenSettingStopsWithItsText) {
  struct Case { const char* what; std::function<void(DeskFixture&)> breakIt; std::function<std::string(DeskFixture&)> text; };
  const std::string wrongSystem = cp("Проверьте настройки в файле STATION.CNF\rСистема зондирования указана неверно!");
  const Case cases[] = {
      {"no STATION.CNF", [](DeskFixture& f) { std::filesystem::remove(f.settings + "STATION.CNF"); },
       [](DeskFixture& f) { return cp("Не найден ") + f.settings + "STATION.CNF"; }},
      {"no TERN key", [](DeskFixture& f) { f.Drop("STATION.CNF", "TERN", "TERN"); },
       [&](DeskFixture&) { return wrongSystem; }},
      {"TERN 11", [](DeskFixture& f) { f.Set("STATION.CNF", "TERN", "TERN", "11"); },
       [&](DeskFixture&) { return wrongSystem; }},
      {"TERN 10 passes the check but has no code tables",
       [](DeskFixture& f) { f.Set("STATION.CNF", "TERN", "TERN", "10"); },
       [](DeskFixture&) { return cp("Ошибка загрузки настроек BUFR"); }},
      {"no TERN2BFR.CNF", [](DeskFixture& f) { std::filesystem::remove(f.settings + "TERN2BFR.CNF"); },
       [](DeskFixture& f) { return cp("Не найден ") + f.settings + "TERN2BFR.CNF"; }},
      {"station data incomplete", [](DeskFixture& f) { f.Drop("STATION.CNF", "TERN", "Radome"); },
       [](DeskFixture&) { return cp("Ошибка загрузки данных станции"); }},
      {"code tables not signed", [](DeskFixture& f) { std::filesystem::remove(f.settings + "BUFRCODES.crc"); },
       [](DeskFixture&) { return cp("Ошибка загрузки настроек BUFR"); }},
      {"code tables elsewhere", [](DeskFixture& f) { f.Set("TERN2BFR.CNF", "OPTIONS", "BUFRCNF", f.dir / "none.cnf"); },
       [](DeskFixture&) { return cp("Ошибка загрузки настроек BUFR"); }},
      {"no ASPD.CNF", [](DeskFixture& f) { std::filesystem::remove(f.settings + "ASPD.CNF"); },
       [](DeskFixture& f) { return cp("Не найден ") + f.settings + "ASPD.CNF"; }},
      {"TLG 7 is text by FTP, without its server", [](DeskFixture& f) { f.Set("ASPD.CNF", "SPOOLING", "TLG", "7"); },
       [](DeskFixture&) { return cp("Ошибка загрузки FTPTXT!"); }},
      {"BUFR by FTP without its server", [](DeskFixture& f) { f.Set("ASPD.CNF", "SPOOLING", "BUFR", "2"); },
       [](DeskFixture&) { return cp("Ошибка загрузки FTPBIN!"); }},
      {"text by SMTP without its relay", [](DeskFixture& f) { f.Set("ASPD.CNF", "SPOOLING", "TLG", "-4"); },
       [](DeskFixture&) { return cp("SMTPTXT-ошибка загрузки настроек!"); }},
      {"BUFR by SMTP without its relay", [](DeskFixture& f) { f.Set("ASPD.CNF", "SPOOLING", "BUFR", "9"); },
       [](DeskFixture&) { return cp("SMTPBIN-ошибка загрузки настроек!"); }},
      {"BUFR mailed to a list that smuggles an option",
       [](DeskFixture& f) {
         f.Set("ASPD.CNF", "SPOOLING", "BUFR", "3");
         f.Set("ASPD.CNF", "MAILBIN", "MailTo", "bufr@centre.example,--attach,/etc/passwd");
       },
       [](DeskFixture&) { return cp("MAILBIN-ошибка загрузки настроек!\rНеверный адрес в ключе MailTo"); }},
      {"text mailed to an address with a carriage return",
       [](DeskFixture& f) {
         f.Set("ASPD.CNF", "SPOOLING", "TLG", "3");
         f.Set("ASPD.CNF", "MAILTXT", "MailTo", "gts@centre.example\rX-Injected: yes");
       },
       [](DeskFixture&) { return cp("MAILTXT-ошибка загрузки настроек!\rНеверный адрес в ключе MailTo"); }},
      {"text by SMTP from a sender that looks like an option",
       [](DeskFixture& f) {
         f.Set("ASPD.CNF", "SPOOLING", "TLG", "4");
         f.Set("ASPD.CNF", "MAILTXT", "MailTo", "gts@centre.example");
         f.Set("ASPD.CNF", "MAILTXT", "MailFrom", "-f@station.example");
       },
       [](DeskFixture&) { return cp("MAILTXT-ошибка загрузки настроек!\rНеверный адрес в ключе MailFrom"); }},
      {"BUFR blind copy without an @",
       [](DeskFixture& f) {
         f.Set("ASPD.CNF", "SPOOLING", "BUFR", "4");
         f.Set("ASPD.CNF", "MAILBIN", "MailTo", "bufr@centre.example");
         f.Set("ASPD.CNF", "MAILBIN", "BCCTo", "archive");
       },
       [](DeskFixture&) { return cp("MAILBIN-ошибка загрузки настроек!\rНеверный адрес в ключе BCCTo"); }},
      {"pick-only observers without a list", [](DeskFixture& f) { f.Set("TERN2BFR.CNF", "OPTIONS", "ObserverOn", "0"); },
       [](DeskFixture&) { return cp("Ошибка загрузки ФИО старших смены"); }},
  };
  for (const auto& c : cases) {
    DeskFixture f;
    c.breakIt(f);
    auto desk = f.Make();
    const std::string expected = c.text(f);
    EXPECT_EQ(f.Start(*desk), expected) << c.what;
    const std::string log = test::ReadBytes(f.log);
    EXPECT_NE(log.find(cp("Аварийная остановка :") + expected + "\r\n"), std::string::npos) << c.what;
  }
}

// A value that becomes part of a BUFR, bulletin or server file name must not
// lead out of the folder the file is written to, also when escapes spell it.
TEST(DeskStart, FileNameSettingsThatLeaveTheirFolderStopWithTheKey) {
  struct Case {
    const char* section;
    const char* key;
    const char* value;
  };
  const Case cases[] = {
      {"BUFR", "IUKHead", "IUKD90#$2F..#$2FRUMS#$20{ddhh}00<BBB>"},
      {"BUFR", "IUSHead", "IUSD90\\RUMS {ddhh}00"},
      {"BUFR", "IUSHead", "IUSD90#$2E#$2ERUMS"},
      {"BUFR", "CCCC", "../x"},
      {"BUFR", "CCCC", "R\\MS"},
      {"BUFR", "BUFRBBBHead", "#$2F"},
      {"BUFR", "BUFRBBBTail", "_..#$5C"},
      {"FTPTXT", "CCCC0", "R/MS"},
      {"FTPBIN", "CCCC0", ".."},
  };
  for (const Case& c : cases) {
    DeskFixture f;
    for (const char* ftp : {"FTPTXT", "FTPBIN"}) {
      f.Set("ASPD.CNF", ftp, "URL", "127.0.0.1");
      f.Set("ASPD.CNF", ftp, "USER", "meteo");
      f.Set("ASPD.CNF", ftp, "PWD", "secret");
    }
    f.Set("ASPD.CNF", "SPOOLING", "TLG", "2");
    f.Set("ASPD.CNF", "SPOOLING", "BUFR", "2");
    f.Set("ASPD.CNF", c.section, c.key, c.value);
    auto desk = f.Make();
    EXPECT_EQ(f.Start(*desk), cp("Ошибка в файле ") + f.settings + "ASPD.CNF\r" + cp("Значение ключа ") + c.key + " = " +
                                  c.value + cp(" недопустимо в имени файла"))
        << c.key << "=" << c.value;
  }
  // The same settings with plain values start.
  DeskFixture f;
  f.Set("ASPD.CNF", "BUFR", "IUKHead", "IUKD90#$20RUMS#$20{ddhh}00<BBB>");
  f.Set("ASPD.CNF", "BUFR", "CCCC", "RUMS");
  f.Set("ASPD.CNF", "BUFR", "BUFRBBBTail", "#$2E");
  auto desk = f.Make();
  EXPECT_EQ(f.Start(*desk), "");
}

TEST(DeskStart, GoodStationLogsEveryStepAndSetsTheWindowUp) {
  DeskFixture f;
  f.Set("TERN2BFR.CNF", "OPTIONS", "RaRaOn", "-7");
  auto desk = f.Make();
  ASSERT_EQ(f.Start(*desk), "");
  EXPECT_EQ(test::ReadBytes(f.log),
            " 4.60000000000000E+0004\r\nTERN 2\r\nTERN-k 0\r\nTERN-a 1\r\nLocalInfo OK\r\nBUFROpt OK\r\nRaRa OK\r\n"
            "Balloon OK\r\nGas OK\r\nTerminationReason OK\r\nInitialDir OK\r\n");
  EXPECT_EQ(f.factoryCode, 2);
  EXPECT_EQ(desk->Options.RaRaMode, 2);
  EXPECT_EQ(desk->AppTitle, cp("ЗЕНИТBUFR 27612"));
  EXPECT_EQ(desk->Caption, cp("27612-центр сообщений(АВК-1М)"));
  EXPECT_EQ(desk->CodesFile, f.settings + "BUFRCODES.CNF");
  EXPECT_EQ(desk->SettingsFolder, f.settings);
  EXPECT_EQ(desk->ProgramFolder, CurrentFolder());  // -AC
  EXPECT_EQ(desk->RefTime, kNow - 1.0 / 24);
  EXPECT_EQ(desk->InitialDir, f.ascents);
  EXPECT_EQ(desk->FilterIndex, 1);
  EXPECT_EQ(desk->Panel.AscentInk, Ink::Blue);
  EXPECT_EQ(desk->Panel.RaRa.Items.size(), 2u);
  EXPECT_EQ(desk->Panel.Termination.Items, (TextList{cp("Разрыв оболочки"), cp("Потеря сигнала")}));
  EXPECT_EQ(desk->Panel.Send[kSendLayer - 1].Caption, cp("СЛОЙ(3)"));
  EXPECT_DOUBLE_EQ(f.ascent->LayerShift, 3.0 / 24);
  EXPECT_TRUE(f.ascent->LayerShiftOn);
  EXPECT_EQ(f.ascent->CCCC, "RUMS");
  EXPECT_FALSE(desk->BufrNotSent);
  EXPECT_EQ(desk->AboutText(), "TERN2BUFR v.3.0.0.7\rCnf:" + f.settings + "\r" + CurrentFolder() + "\r" + f.settings +
                                   "BUFRCODES.CNF");
}

TEST(DeskStart, FamilyFolderAndSwitches) {
  DeskFixture f;
  f.Set("STATION.CNF", "TERN", "TERN", "-8");
  f.params = {"/q", "-ac"};
  std::filesystem::remove(f.ascents);
  auto desk = f.Make();
  f.Start(*desk);  // the fixture's code tables know no system 8; only the steps before matter here
  EXPECT_EQ(f.factoryCode, 8);

  DeskFixture g;
  g.params = {"/q", "-ac"};
  std::filesystem::remove(g.ascents);
  auto desk2 = g.Make();
  ASSERT_EQ(g.Start(*desk2), "");
  EXPECT_EQ(desk2->FilterIndex, 2);  // no folder for the reference date
  EXPECT_EQ(desk2->Panel.AscentInk, Ink::Black);
  EXPECT_TRUE(desk2->BufrNotSent);
}

TEST(DeskStart, LastAscentIsReopenedWithinSixHours) {
  struct Case { double hoursBefore; bool fileThere; int opened; size_t messages; };
  const Case cases[] = {{5, true, 1, 0}, {7, true, 0, 0}, {5, false, 0, 1}};
  for (const auto& c : cases) {
    DeskFixture f;
    const TDateTime last = kNow - 1.0 / 24 - c.hoursBefore / 24;
    const std::string file = f.ascents + "/" + FormatDateTime("yyyymmdd_hh", last) + ".info";
    if (c.fileThere) test::WriteBytes(file, "");
    WorkingFolder prog(f.dir / "prog/");
    TMyIniFile(f.dir / "prog/ASCVAR.CNF").WriteDateTime("LAST", "dt", last);
    auto desk = f.Make();
    ASSERT_EQ(f.Start(*desk), "");
    desk->ReopenLastAscent();
    EXPECT_EQ(f.ascent->opened, c.opened) << c.hoursBefore;
    ASSERT_EQ(f.op.messages.size(), c.messages);
    if (c.messages) {
      EXPECT_EQ(f.op.messages[0], cp("Не могу найти ") + file);
    }
  }
}

TEST(DeskClose, QuestionsBeforeTheWindowCloses) {
  struct Case { const char* what; bool q; bool mailing; int answer; bool closes; size_t messages; };
  const Case cases[] = {
      {"nothing pending", false, false, 0, true, 0},
      {"Q: keep working", true, false, 1, false, 0},
      {"Q: box closed counts as leave", true, false, 2, true, 0},
      {"mail: keep working", false, true, 1, false, 0},
      {"mail: end anyway warns", false, true, 2, true, 1},
  };
  for (const auto& c : cases) {
    ScriptedOperator op;
    if (c.answer) op.Push(c.answer);
    TDesk desk({}, op, nullptr);
    desk.BufrNotSent = c.q;
    desk.EmailSending = c.mailing;
    const bool closes = desk.CloseQuery() && desk.CloseWhileMailing();
    EXPECT_EQ(closes, c.closes) << c.what;
    EXPECT_EQ(op.messages.size(), c.messages) << c.what;
    if (!op.asked.empty()) {
      EXPECT_EQ(op.asked[0].defaultButton, 1);
      EXPECT_EQ(op.asked[0].escButton, 1);
      EXPECT_EQ(op.asked[0].buttons[0], cp("Продолжить работу"));
    }
  }
}

TEST(DeskClose, ChangedVariablesAreSavedAtClosing) {
  DeskFixture f;
  const std::string prog = f.dir / "prog/";
  WorkingFolder working(prog);
  auto desk = f.Make();
  ASSERT_EQ(f.Start(*desk), "");
  test::WriteBytes(f.ascents + "/a.info", "");
  ASSERT_TRUE(desk->LoadAscent(f.ascents + "/a.info"));
  desk->Panel.Balloon.Index = 1;
  desk->Panel.OnInfoChange(kInfoBalloon);
  desk->Panel.ObserverText = cp("ПЕТ");
  desk->Panel.OnInfoChange(kInfoObserver);
  desk->OnClose(kNow);
  EXPECT_TRUE(desk->Closing);
  TMyIniFile vars(prog + "ASCVAR.CNF");
  EXPECT_EQ(vars.ReadInteger("Ascent", "bmanuf", -1), 1);
  EXPECT_EQ(vars.ReadString("SMENA", "smena0", ""), cp("ПЕТ"));
}

TEST(DeskStart, PasswordsReadableByOthersAreLogged) {
  struct Case { const char* what; const char* section; const char* key; mode_t mode; bool logged; };
  const Case cases[] = {
      {"no passwords", nullptr, nullptr, 0644, false},
      {"FTP password, private file", "FTPBIN", "PWD", 0600, false},
      {"FTP password, readable by the group", "FTPTXT", "PWD", 0640, true},
      {"SMTP password, readable by others", "SMTPBIN", "kenwort", 0604, true},
      {"SMTP password, private file", "SMTPTXT", "kenwort", 0600, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DeskFixture f;
    const std::string aspd = f.settings + "ASPD.CNF";
    if (c.section) f.Set("ASPD.CNF", c.section, c.key, "3A1F07");
    ::chmod(aspd.c_str(), c.mode);
    auto desk = f.Make();
    ASSERT_EQ(f.Start(*desk), "");
    const std::string line =
        cp("Пароли FTP/SMTP в файле ") + aspd + cp(" доступны для чтения другим пользователям") + "\r\n";
    const std::string log = test::ReadBytes(f.log);
    EXPECT_EQ(log.find(line) != std::string::npos, c.logged) << Cp1251ToUtf8(log);
  }
}

TEST(DeskClose, AFailedSaveAsksAndKeepsTheDeskWhenTheOperatorSaysSo) {
  struct Case {
    const char* what;
    bool writable;
    int answer;  // to the question after a failed save; 0: none expected
    bool closes;
  };
  const Case cases[] = {
      {"saved: no question", true, 0, true},
      {"failed: keep working", false, 1, false},
      {"failed: close without saving", false, 2, true},
  };
  for (const Case& c : cases) {
    DeskFixture f;
    const std::string prog = f.dir / "prog/";
    WorkingFolder working(prog);
    auto desk = f.Make();
    ASSERT_EQ(f.Start(*desk), "") << c.what;
    test::WriteBytes(f.ascents + "/a.info", "");
    ASSERT_TRUE(desk->LoadAscent(f.ascents + "/a.info"));
    desk->Panel.Balloon.Index = 1;
    desk->Panel.OnInfoChange(kInfoBalloon);
    // A folder where the file should be: no write can replace it, not even root's.
    if (!c.writable) std::filesystem::create_directory(prog + "ASCVAR.CNF");
    if (c.answer) f.op.Push(c.answer);
    EXPECT_EQ(desk->CloseAfterSaving(kNow), c.closes) << c.what;
    const auto saveQuestion = std::find_if(f.op.asked.begin(), f.op.asked.end(), [](const Question& q) {
      return q.buttons.size() == 2 && q.buttons[1] == cp("Выйти без сохранения");
    });
    EXPECT_EQ(saveQuestion != f.op.asked.end(), c.answer != 0) << c.what;
    if (saveQuestion != f.op.asked.end()) {
      const Question& q = *saveQuestion;
      EXPECT_NE(q.text.find(prog + "ASCVAR.CNF"), std::string::npos) << c.what;
      EXPECT_EQ(q.buttons, (std::vector<std::string>{cp("Продолжить работу"), cp("Выйти без сохранения")})) << c.what;
      EXPECT_EQ(q.defaultButton, 1);
      EXPECT_EQ(q.escButton, 1);
      // Kept open: the ascent and the pending counters wait for the next try.
      EXPECT_EQ(desk->Ascent != nullptr, !c.closes) << c.what;
      EXPECT_FALSE(desk->Closing && !c.closes) << c.what;
      EXPECT_TRUE(desk->Vars.Changed) << c.what;
    }
    if (!c.closes) {
      std::filesystem::remove(prog + "ASCVAR.CNF");
      EXPECT_TRUE(desk->CloseAfterSaving(kNow)) << c.what;
      EXPECT_EQ(TMyIniFile(prog + "ASCVAR.CNF").ReadInteger("Ascent", "bmanuf", -1), 1) << c.what;
    }
  }
}
