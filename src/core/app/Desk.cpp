#include "app/Desk.h"

#include <clocale>
#include <cmath>
#include <cstdlib>

#include "app/PasswordExposure.h"
#include "base/Files.h"
#include "config/MyIniFile.h"
#include "config/StationConfig.h"

namespace tern {
namespace {

constexpr TDateTime kOneHour = 1.0 / 24.0;
constexpr TDateTime kReopenWindow = 0.25;

void RequireFile(const std::string& path) {
  if (!FileExists(path)) throw TernError(cp("Не найден ") + path);
}

tListSizes SizesOf(const TAscentPanel& p) {
  tListSizes s;
  s.RaRa = static_cast<int>(p.RaRa.Items.size());
  s.Balloon = static_cast<int>(p.Balloon.Items.size());
  s.Gas = static_cast<int>(p.Gas.Items.size());
  s.Termination = static_cast<int>(p.Termination.Items.size());
  return s;
}

}  // namespace

TDesk::TDesk(ParamList params, IOperator& op, AscentFactory factory)
    : Params(std::move(params)), Op(op), factory_(std::move(factory)) {}

void TDesk::Create(const std::string& settingsFolder, TDateTime utcNow) {
  // Numbers in every settings file use the point, whatever the user's locale says.
  std::setlocale(LC_NUMERIC, "C");
  RefTime = utcNow - kOneHour;
  if (!ProgramFolderOverride.empty())
    ProgramFolder = IncludeTrailingSeparator(ProgramFolderOverride);
  else
    ProgramFolder = ProgramFolderFor(Params, CurrentFolder(), ExecutableFolder(), UserProgramFolder());
  ForceFolders(ProgramFolder);
  SettingsFolder = settingsFolder.empty() ? ProgramFolder : IncludeTrailingSeparator(settingsFolder);

  ReadStationCode();

  RequireFile(OptionsFile());
  const TMyIniFile options(OptionsFile());
  Options = ReadDeskOptions(options);
  CodesFile = Options.BufrCnf.empty() ? SettingsFolder + "BUFRCODES.CNF" : Options.BufrCnf;

  CreateAscent();
  ReadMessageFile();
  LoadVariables();
  BufrNotSent = HasSwitch(Params, "Q");
}

void TDesk::ReadStationCode() {
  RequireFile(StationFile());
  const auto code = ReadSystemCode(TMyIniFile(StationFile()));
  if (!code || *code > 10)
    throw TernError(cp("Проверьте настройки в файле STATION.CNF\rСистема зондирования указана неверно!"));
  SystemCode = *code;
}

void TDesk::CreateAscent() {
  Ascent = factory_(SystemCode);
  WriteLog("TERN " + std::to_string(SystemCode));
  WriteLog("TERN-k " + std::to_string(Ascent ? Ascent->SystemCode : 0));
  WriteLog(std::string("TERN-a ") + (Ascent ? "1" : "0"));
  if (!Ascent) throw TernError(cp("Ошибка загрузки данных станции"));
  Ascent->SetOperator(&Op);

  if (!Ascent->LoadStation(SettingsFolder, SystemCode)) throw TernError(cp("Ошибка загрузки данных станции"));
  WriteLog("LocalInfo OK");
  if (!Ascent->LoadBufrCodes(CodesFile)) throw TernError(cp("Ошибка загрузки настроек BUFR"));
  WriteLog("BUFROpt OK");

  Panel.Configure(Options, *Ascent, Op);
  WriteLog("RaRa OK");
  WriteLog("Balloon OK");
  WriteLog("Gas OK");
  WriteLog("TerminationReason OK");

  AppTitle = cp("ЗЕНИТBUFR ") + Ascent->StationIndText;
  Caption = Ascent->StationIndText + cp("-центр сообщений(") + Ascent->GetSystemTitle() + ")";

  bool found = false;
  Ascent->FindSourceFolder(OptionsFile(), found, InitialDir, RefTime);
  WriteLog("InitialDir OK");
  OpenFilter = Ascent->GetOpenFilter(RefTime);
  FilterIndex = found ? 1 : 2;
  if (found) Panel.AscentInk = Ink::Blue;
}

void TDesk::ReadMessageFile() {
  RequireFile(MessagesFile());
  const TMyIniFile aspd(MessagesFile());
  ReadMessageSettings(aspd, Messages, Op);
  ReadTransferTasks(aspd, Messages, Transfers);
  LogExposedPasswords(aspd);

  const tLayerSettings& layer = Messages.Layer;
  Ascent->SetLayerShift(layer.UTCBias / 24.0);
  Ascent->SetLayerShiftOn(layer.Loc);
  Panel.LayerCaption = cp("СЛОЙ");
  if (layer.YYGG && layer.Loc) Panel.LayerCaption += "(" + std::to_string(layer.UTCBias) + ")";
  Panel.Send[kSendLayer - 1].Base = Panel.Send[kSendLayer - 1].Caption = Panel.LayerCaption;

  if (!Ascent->LoadBufrOptions(MessagesFile())) throw TernError(MessagesFile());
}

void TDesk::LoadVariables() {
  Vars.LoadAscentVariables(VariablesFile(), SizesOf(Panel), Options.ObserverOn);
  Vars.ApplyTo(Panel, Options.ObserverOn);
  if (Options.ObserverOn) Panel.ObserverText.clear();
  Panel.Number = Vars.LastNumber + 1;
  if (Panel.RaRa.Chosen()) Panel.Label61616 = "61616 " + Ascent->Build61616(Panel.RaRa.Index);
  Panel.VariablesChanged = false;
}

void TDesk::ReopenLastAscent() {
  if (!Ascent || Vars.LastTime + kReopenWindow < RefTime) return;
  const std::string path = InitialDir + "/" + Ascent->GetAscentFileName(Vars.LastTime);
  if (FileExists(path))
    LoadAscent(path);
  else
    Op.Message(cp("Не могу найти ") + path);
}

std::string TDesk::FatalStop(const TernError& e) {
  WriteLog(cp("Аварийная остановка :") + e.Text());
  return e.Text();
}

std::string TDesk::AboutText() const {
  return std::string(kDeskVersion) + "\rCnf:" + SettingsFolder + "\r" + ProgramFolder + "\r" + CodesFile;
}

bool TDesk::CloseQuery() {
  if (!BufrNotSent) return true;
  Question q;
  q.title = AppTitle;
  q.text = cp("Сообщение BUFR еще не отправлено!\rПожалуйста, подтвердите выход из программы");
  q.buttons = {cp("Продолжить работу"), cp("Выйти из программы")};
  q.icon = BoxIcon::Question;
  q.defaultButton = 1;
  q.escButton = 1;
  return Op.Ask(q) == 2;
}

bool TDesk::CloseWhileMailing() {
  if (!EmailSending) return true;
  Question q;
  q.title = AppTitle;
  q.text = cp("Отправка e-mail еще не завершена!\rПожалуйста, завершите или прервите отправку");
  q.buttons = {cp("Продолжить работу"), cp("Завершить работу программы")};
  q.icon = BoxIcon::Question;
  q.defaultButton = 1;
  q.escButton = 1;
  if (Op.Ask(q) == 1) return false;
  if (EmailSending) Op.Message(cp("Убедитесь, что отправка e-mail завершена!"));
  return true;
}

void TDesk::OnClose(TDateTime localNow) {
  Closing = true;
  if (!Ascent) return;
  Vars.TakeFrom(Panel);
  Vars.SaveAtClosing(VariablesFile(), *Ascent, Options.ObserverOn, Op, localNow);
  Ascent.reset();
}

bool TDesk::CloseAfterSaving(TDateTime localNow) {
  try {
    OnClose(localNow);
    return true;
  } catch (const TernError& e) {
    Closing = false;
    WriteLog(e.Text());
    Question q;
    q.title = AppTitle;
    q.text = e.Text() + cp("\rСчётчики сообщений и последний выпуск не сохранены!") +
             cp("\rИсправьте ошибку и закройте программу ещё раз");
    q.buttons = {cp("Продолжить работу"), cp("Выйти без сохранения")};
    q.icon = BoxIcon::Warning;
    q.defaultButton = 1;
    q.escButton = 1;
    if (Op.Ask(q) != 2) return false;
    Closing = true;
    Ascent.reset();
    return true;
  }
}

bool TDesk::SendClick(int sendTag) {
  if (!Workflow || sendTag < 1 || sendTag > kSendCount) return false;
  Workflow->Send(sendTag, *this);
  return true;
}

}  // namespace tern
