#include "app/AscentVariables.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "base/Error.h"
#include "base/Files.h"
#include "config/CodeTables.h"
#include "config/MyIniFile.h"

namespace tern {

namespace {

constexpr char kAscent[] = "Ascent";
constexpr char kGts[] = "GTS";

// Lift and train length are stored in hundredths.
constexpr int kLiftModulus = 1001;
constexpr int kTrainModulus = 8001;
constexpr int kLastNumberModulus = 1500;
constexpr int kBulletinModulus = 1000;
constexpr int kFileModulus = 100000000;

long long AbsOf(int value) { return std::llabs(static_cast<long long>(value)); }

void WriteIndexOrDelete(TMyIniFile& ini, const char* key, int index) {
  if (index >= 0)
    ini.WriteInteger(kAscent, key, index);
  else
    ini.DeleteKey(kAscent, key);
}

void WriteTextOrDelete(TMyIniFile& ini, const char* key, const std::string& text) {
  if (!text.empty())
    ini.WriteString(kAscent, key, text);
  else
    ini.DeleteKey(kAscent, key);
}

int Hundredths(double value) { return static_cast<int>(std::lround(value * 100.0)); }

double LiftFrom(const TMyIniFile& ini) {
  return static_cast<double>(FoldAbs(ini.ReadInteger(kAscent, "nozzle", 110), kLiftModulus)) / 100.0;
}

double TrainFrom(const TMyIniFile& ini) {
  return static_cast<double>(FoldAbs(ini.ReadInteger(kAscent, "train", 2000), kTrainModulus)) / 100.0;
}

// Wraps a counter step: past the top the counter restarts at `restart`.
int Step(int value, int modulus, int restart) { return value + 1 >= modulus ? restart : value + 1; }

}  // namespace

int FoldAbs(int value, int modulus) { return static_cast<int>(AbsOf(value) % modulus); }

int FoldIndex(int value, int length) { return length > 0 ? FoldAbs(value, length) : -1; }

void TAscentVariables::LoadAscentVariables(const std::string& file, const tListSizes& sizes, bool observerOn) {
  const TMyIniFile ini(file);
  Choices.Termination = -1;
  Choices.RaRa = FoldIndex(ini.ReadInteger(kAscent, "RaRa", 0), sizes.RaRa);
  Choices.Balloon = FoldIndex(ini.ReadInteger(kAscent, "bmanuf", 0), sizes.Balloon);
  Choices.Gas = FoldIndex(ini.ReadInteger(kAscent, "gas", 0), sizes.Gas);
  Choices.Lift = LiftFrom(ini);
  Choices.Train = TrainFrom(ini);
  LastNumber = FoldAbs(ini.ReadInteger("LAST", "num", 1), kLastNumberModulus);
  if (LastNumber == 0) LastNumber = 1;
  LastTime = ini.ReadDateTime("LAST", "dt", 0);
  Counters.BufrBulletin = FoldAbs(ini.ReadInteger("BUFR", "NNN", 0), kBulletinModulus);
  Counters.BufrFile = FoldAbs(ini.ReadInteger("BUFR", "NNNNNNNN", 0), kFileModulus);
  Counters.TextBulletin = FoldAbs(ini.ReadInteger("TLG", "tNNN", 0), kBulletinModulus);
  Counters.TextFile = FoldAbs(ini.ReadInteger("TLG", "tNNNNNNNN", 0), kFileModulus);
  Changed = false;
  ReadObservers(ini, Observers);
  if (!observerOn) {
    if (Observers.empty()) throw TernError(cp("Ошибка загрузки ФИО старших смены"));
    // The list is shown sorted; its first entry is the one chosen.
    Choices.Observer = *std::min_element(Observers.begin(), Observers.end());
  }
}

void TAscentVariables::SaveAscentVariables(const std::string& file, VariablesForm form, const TUAMessage& ascent) {
  TMyIniFile ini(file);
  const bool sent = form == VariablesForm::Sent;
  if (sent) {
    ini.WriteInteger("BUFR", "inttab", ascent.TablesVer);
    ini.WriteInteger("BUFR", "loctab", ascent.LocTablesVer);
    ini.WriteInteger("BUFR", "bufrcnf", ascent.CnfVer);
    ini.WriteInteger(kAscent, "number", Choices.Number);
  }
  ini.WriteInteger(kAscent, "repeated", Choices.Repeated ? 1 : 0);
  WriteIndexOrDelete(ini, "RaRa", Choices.RaRa);
  if (!sent) {
    if (RoundToSecond(ascent.LaunchTime) > RoundToSecond(LastTime)) {
      LastNumber = Choices.Number;
      LastTime = ascent.LaunchTime;
      ini.WriteInteger("LAST", "num", LastNumber);
      ini.WriteDateTime("LAST", "dt", LastTime);
    }
    ini.WriteInteger("BUFR", "NNN", Counters.BufrBulletin);
    ini.WriteInteger("BUFR", "NNNNNNNN", Counters.BufrFile);
    ini.WriteInteger("TLG", "tNNN", Counters.TextBulletin);
    ini.WriteInteger("TLG", "tNNNNNNNN", Counters.TextFile);
  }
  if (sent) WriteTextOrDelete(ini, "RS", Choices.Serial);
  WriteIndexOrDelete(ini, "bmanuf", Choices.Balloon);
  WriteIndexOrDelete(ini, "gas", Choices.Gas);
  ini.WriteInteger(kAscent, "nozzle", Hundredths(Choices.Lift));
  ini.WriteInteger(kAscent, "train", Hundredths(Choices.Train));
  WriteIndexOrDelete(ini, "termination", Choices.Termination);
  if (sent) WriteTextOrDelete(ini, "observer", Choices.Observer);
}

void TAscentVariables::SaveAtClosing(const std::string& file, const TUAMessage& ascent, bool observerOn,
                                     IOperator& op, TDateTime now) {
  if (!Changed) return;
  SaveAscentVariables(file, VariablesForm::Variables, ascent);
  if (observerOn) {
    TMyIniFile ini(file);
    WriteObservers(ini, Observers);
  }
  CorrectionsReminder(file, ascent, op, now);
}

void TAscentVariables::AdvanceBufrBulletin() {
  Counters.BufrBulletin = Step(Counters.BufrBulletin, kBulletinModulus, 0);
  Changed = true;
}

void TAscentVariables::AdvanceBufrFile() {
  Counters.BufrFile = Step(Counters.BufrFile, kFileModulus, 1);
  Changed = true;
}

void TAscentVariables::AdvanceTextBulletin() {
  Counters.TextBulletin = Step(Counters.TextBulletin, kBulletinModulus, 1);
  Changed = true;
}

void TAscentVariables::AdvanceTextFile() {
  Counters.TextFile = Step(Counters.TextFile, kFileModulus, 1);
  Changed = true;
}

// --- corrections reminder --------------------------------------------------------

namespace {

constexpr char kAzel[] = "AZEL";
constexpr TDateTime kNeverConfirmed = 99999;
constexpr TDateTime kNeverConfirmedAbove = 99990;
constexpr double kCorrectionsValidDays = 31;

bool Missing(double value) { return value <= -1e30; }

// One more unanswered reminder; from the third on the operator sees how many.
void CountReminder(TMyIniFile& ini, IOperator& op) {
  const long long r = std::llabs(static_cast<long long>(ini.ReadInteger(kAzel, "remind", 0)));
  if (r > 1) op.Message(cp("Это было напоминание №") + std::to_string(r));
  ini.WriteString(kAzel, "remind", std::to_string(r + 1));
}

void Confirmed(TMyIniFile& ini, TDateTime now) {
  ini.WriteDateTime(kAzel, "dt", now);
  ini.WriteInteger(kAzel, "remind", 0);
}

}  // namespace

void CorrectionsReminder(const std::string& file, const TUAMessage& ascent, IOperator& op, TDateTime now) {
  if (ascent.SystemCode < 3 || ascent.SystemCode > 7) return;
  TMyIniFile ini(file);
  const double az = ascent.Meta.CorrAz, el = ascent.Meta.CorrEl;
  if (Missing(az) || Missing(el)) {
    op.Message(cp("Задайте в настройках поправки по азимуту и углу места!"));
    CountReminder(ini, op);
    return;
  }
  const TDateTime confirmed = ini.ReadDateTime(kAzel, "dt", kNeverConfirmed);
  if (confirmed > kNeverConfirmedAbove) {
    Confirmed(ini, now);
    return;
  }
  if (now - confirmed <= kCorrectionsValidDays) return;
  Question q;
  q.title = cp("Запрос на подтверждение");
  q.text = cp("Информация о поправках по азимуту и углу места могла устареть\rCorrAz=") + FixedText(az, 5, 2) +
           ",OrientCorrEl=" + FixedText(el, 5, 2);
  q.buttons = {cp("Данные о поправках актуальны"), cp("Поправки будут уточнены к следующему разу")};
  q.icon = BoxIcon::Warning;
  if (op.Ask(q) == 1)
    Confirmed(ini, now);
  else
    CountReminder(ini, op);
}

// --- sent-messages file and panel ------------------------------------------------

void RecordSend(const std::string& sentFile, int sendTag, const std::string& bbb, TDateTime now) {
  if (sendTag < 1 || sendTag > kSendCount) return;
  TMyIniFile ini(sentFile);
  const std::string key = SentKey(sendTag);
  ini.WriteDateTime(kGts, key, now);
  if (!bbb.empty())
    ini.WriteString(kGts, "BBB_" + key, bbb);
  else
    ini.DeleteKey(kGts, "BBB_" + key);
}

tAscentChoices ChoicesOf(const TAscentPanel& panel) {
  tAscentChoices c;
  c.Number = panel.Number;
  c.Repeated = panel.Repeated == 1;
  c.RaRa = panel.RaRa.Chosen() ? panel.RaRa.Index : -1;
  c.Balloon = panel.Balloon.Chosen() ? panel.Balloon.Index : -1;
  c.Gas = panel.Gas.Chosen() ? panel.Gas.Index : -1;
  c.Termination = panel.Termination.Chosen() ? panel.Termination.Index : -1;
  c.Lift = panel.Lift;
  c.Train = panel.Train;
  c.Serial = panel.SondeId;
  c.Observer = panel.ObserverText;
  return c;
}

void TAscentVariables::ApplyTo(TAscentPanel& panel, bool observerOn) const {
  panel.RaRa.Index = Choices.RaRa;
  panel.Balloon.Index = Choices.Balloon;
  panel.Gas.Index = Choices.Gas;
  panel.Termination.Index = -1;
  panel.Lift = Choices.Lift;
  panel.Train = Choices.Train;
  panel.LastAscentNo = LastNumber;
  panel.Observers.clear();
  for (const std::string& o : Observers) panel.AddObserver(o);
  if (!observerOn) panel.ObserverText = Choices.Observer;
}

void TAscentVariables::TakeFrom(const TAscentPanel& panel) {
  Choices = ChoicesOf(panel);
  Observers = panel.Observers;
  if (panel.VariablesChanged) Changed = true;
}

}  // namespace tern
