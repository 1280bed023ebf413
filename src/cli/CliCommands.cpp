#include "CliCommands.h"

#include <cstdio>

#include "CliOperator.h"
#include "app/AscentFamily.h"
#include "app/Desk.h"
#include "base/Error.h"
#include "base/Files.h"
#include "bufr/UnfitValues.h"
#include "bulletins/TextBulletin.h"
#include "config/CodeTables.h"
#include "config/CodesChecksum.h"
#include "review/CheckDataModel.h"
#include "review/QualityControl.h"
#include "sounding/UAMessage.h"

namespace tern::cli {

namespace {

void Print(const std::string& cp1251) { std::fputs((Cp1251ToUtf8(cp1251) + "\n").c_str(), stdout); }

// The settings folder read as the desk reads it at start-up; the variables
// file is taken from the same folder.
class Station {
 public:
  explicit Station(const std::string& settings) : desk_({}, op_, CreateAscentObject) {
    const std::string folder = settings.empty() ? CurrentFolder() : IncludeTrailingSeparator(AbsolutePath(settings));
    if (!FolderExists(folder)) throw TernError(cp("Не найдена папка для файлов настроек\r") + folder);
    desk_.ProgramFolderOverride = folder;
    desk_.Create(folder);
    desk_.Ascent->SetOperator(&op_);
  }
  TDesk& Desk() { return desk_; }
  TUAMessage& Ascent() { return *desk_.Ascent; }
  CliOperator& Op() { return op_; }

  // Opens the ascent as the desk does on the operator's choice.
  void OpenAscent(const std::string& path) {
    uint8_t rs = 255;
    Ascent().Clear(false);
    if (!Ascent().OpenAscent(AbsolutePath(path), rs)) throw TernError(cp("Выпуск не открыт: ") + path);
    rsType_ = rs;
  }
  uint8_t RadiosondeType() const { return rsType_; }

  // Reads the profile of a message kind with the edits the viewer would load.
  void LoadLevels(bool bufrI) {
    Ascent().SetBufrI(bufrI);
    if (!Ascent().LoadData()) throw TernError(cp("Данные выпуска не прочитаны"));
    CheckDataModel review(Ascent(), true);
    if (!review.Open(op_)) throw TernError(cp("Отправка BUFR отменена"));
    Ascent().SetRejections(&review.Masks(), nullptr);
  }

 private:
  CliOperator op_;
  TDesk desk_;
  uint8_t rsType_ = 255;
};

}  // namespace

int Open(const std::string& settings, const std::string& ascent) {
  Station s(settings);
  s.OpenAscent(ascent);
  const TUAMessage& a = s.Ascent();
  Print("source: " + a.SourceName);
  Print("launch: " + DateTimeToStr(a.LaunchTime));
  Print("observation: " + DateTimeToStr(a.ObsTime));
  Print("radiosonde: " + std::to_string(s.RadiosondeType()));
  return 0;
}

namespace {

// The automatic checks over the levels as the data check shows them, with the
// saved rejections hiding what they reject; one line per suspect.
void PrintSuspects(const TUAMessage& a) {
  std::vector<uint8_t> masks(a.LevelCount);
  for (int i = 0; i < a.LevelCount; ++i) masks[i] = a.Levels[i].RejFlags;
  const std::vector<QcFinding> found = FindSuspects(a.Levels.data(), a.LevelCount, masks.data());
  Print("suspects: " + std::to_string(found.size()));
  for (const QcFinding& f : found) {
    const tUALevel& l = a.Levels[f.level];
    const std::string levels = f.lastLevel > f.level ? cp("уровни ") + std::to_string(f.level + 1) + "-" +
                                                           std::to_string(f.lastLevel + 1)
                                                     : cp("уровень ") + std::to_string(f.level + 1);
    Print(levels + " (t " + FixedText(l.Time, 0, 0) + ", P " +
          FixedText(l.Pressure, 0, 1) + "): " + QcReason(f));
  }
}

}  // namespace

int Levels(const std::string& settings, const std::string& ascent, bool bufrI) {
  Station s(settings);
  s.OpenAscent(ascent);
  s.LoadLevels(bufrI);
  const TUAMessage& a = s.Ascent();
  Print(ProfileHeaderLine());
  int included = 0;
  for (int i = 0; i < a.LevelCount; ++i) {
    Print(ProfileLine(a.Levels[i], a.Levels[i].RejFlags));
    included += a.LevelIncluded(i);
  }
  Print("levels: " + std::to_string(a.LevelCount) + " included: " + std::to_string(included));
  PrintSuspects(a);
  return 0;
}

int Qc(const std::string& settings, const std::string& ascent, bool bufrI) {
  Station s(settings);
  s.OpenAscent(ascent);
  s.LoadLevels(bufrI);
  PrintSuspects(s.Ascent());
  return 0;
}

int Bufr(const std::string& settings, const BufrRequest& r) {
  Station s(settings);
  s.OpenAscent(r.ascent);
  TUAMessage& a = s.Ascent();
  a.SetBufrI(r.bufrI);
  if (!a.SelectRadiosonde(r.radiosonde)) throw TernError(cp("Ошибка задания кодов радиозондов"));
  if (a.ExtMeta > 0) {
    if (r.serial) a.SetSondeSerial(*r.serial);
    if (r.number) a.SetAscentNo(static_cast<uint16_t>(*r.number));
    if (r.repeated) a.SetReleasePoint(2);
    if (r.observer) a.SetObserver(ObserverCode(*r.observer));
    if (r.train) a.SetTrainLength(*r.train);
    if (r.lift) a.SetGasAmount(*r.lift);
    if (r.balloon && !a.SelectBalloon(*r.balloon)) throw TernError("--balloon: no such balloon");
    if (r.gas && !a.SelectGas(*r.gas)) throw TernError("--gas: no such gas");
    if (!r.bufrI && r.termination && !a.SelectTermination(*r.termination))
      throw TernError("--termination: no such reason");
  }
  a.BuildHeading(r.bbb);
  a.MakeBufrFileName();
  // A correction "CCx" numbers its update by the letter: A = 1 .. Z = 26.
  const bool correction = r.bbb.size() == 3 && r.bbb[0] == 'C' && r.bbb[1] == 'C' && r.bbb[2] >= 'A' && r.bbb[2] <= 'Z';
  a.SetUpdateSeq(correction ? static_cast<uint16_t>(r.bbb[2] - 'A' + 1) : 0);
  a.SetBulletinNo(r.bulletin);
  s.LoadLevels(r.bufrI);
  if (!ConfirmUnfitValues(a, s.Op())) return 1;
  if (!a.EncodeBufr()) return 1;
  Print(a.BufrFileName);
  return 0;
}

int BulletinTag(const std::string& name) {
  static const char* names[] = {"TTAA", "TTBB", "TTCC", "TTDD", "SLOY", "PRIZ"};
  for (int i = 0; i < 6; ++i)
    if (name == names[i]) return i + 1;
  return 0;
}

int Bulletin(const std::string& settings, const std::string& ascent, int tag, const std::string& bbb, int rara) {
  Station s(settings);
  s.OpenAscent(ascent);
  tTempOptions options;
  options.InjectRaRa = s.Desk().Options.InjectRaRa;
  options.Add61616 = s.Desk().Options.Opt61616;
  options.RaRa = rara;
  const std::string text = BuildTextBulletin(tag, s.Ascent(), bbb, s.Desk().Messages, options, s.Op());
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}

int SignCodes(const std::string& file) {
  if (!FileExists(file)) throw TernError(cp("Не найден ") + file);
  const std::string crc = WriteCodesChecksum(file);
  Print(crc);
  return 0;
}

int CheckCodes(const std::string& file) {
  if (CheckCodesFile(file)) {
    Print("ok: " + file);
    return 0;
  }
  std::fprintf(stderr, "checksum missing or not matching: %s\n", Cp1251ToUtf8(file).c_str());
  return 1;
}

}  // namespace tern::cli
