#include "app/SendCommand.h"

#include "app/AscentFamily.h"
#include "app/Desk.h"
#include "app/DeskSendWorkflow.h"
#include "app/SendWorkflow.h"
#include "base/Error.h"
#include "base/Files.h"
#include "base/Text.h"

namespace tern {
namespace {

// Nobody to ask: every question takes its default button, which for an
// existing bulletin or BUFR file is "Создать новый", and for values a BUFR
// message cannot carry is cancelling. Both are shown.
class UnattendedOperator : public IOperator {
 public:
  UnattendedOperator(const std::function<void(const std::string&)>& say,
                     const std::function<void(const std::string&)>& ask)
      : say_(say), ask_(ask) {}
  int Ask(const Question& q) override {
    if (!IsValidQuestion(q)) return 0;
    const int answer = q.defaultButton > 0 ? q.defaultButton : 1;
    ask_(q.title + ": " + q.text + " -> " + q.buttons[answer - 1]);
    return answer;
  }
  void Message(const std::string& text) override { say_(text); }

 private:
  const std::function<void(const std::string&)>& say_;
  const std::function<void(const std::string&)>& ask_;
};

// No preview and no data check: the message goes as built.
class UnattendedView : public ISendDesk {
 public:
  void SetClipboardText(const std::string&) override {}
  bool ShowTelegram(std::string&, const std::string&, bool, const std::string&) override { return true; }
  bool ShowCheckData(TUAMessage&, bool) override { return true; }
};

int IntArg(const std::string& name, const std::string& value) {
  const auto v = TryParseInt(value);
  if (!v) throw TernError(cp("Неверное значение ") + name + ": " + value);
  return *v;
}

double RealArg(const std::string& name, const std::string& value) {
  const auto v = TryParseReal(value);
  if (!v) throw TernError(cp("Неверное значение ") + name + ": " + value);
  return *v;
}

bool ValidBbb(const std::string& bbb) {
  return bbb.empty() || (bbb.size() == 3 && (bbb.compare(0, 2, "CC") == 0 || bbb.compare(0, 2, "RR") == 0) &&
                         bbb[2] >= 'A' && bbb[2] <= 'Z');
}

void ApplyRequest(const tSendRequest& r, TAscentPanel& p) {
  auto pick = [](tPick& list, const std::optional<int>& index, const char* what) {
    if (!index) return;
    if (*index < 0 || *index >= static_cast<int>(list.Items.size()))
      throw TernError(cp("Нет такого номера в списке ") + what + ": " + std::to_string(*index));
    list.Index = *index;
  };
  pick(p.RaRa, r.RaRa, "--radiosonde");
  pick(p.Balloon, r.Balloon, "--balloon");
  pick(p.Gas, r.Gas, "--gas");
  pick(p.Termination, r.Termination, "--termination");
  if (r.Number) p.Number = *r.Number;
  if (r.Repeated) p.Repeated = *r.Repeated ? 1 : 0;
  if (r.Lift) p.Lift = *r.Lift;
  if (r.Train) p.Train = *r.Train;
  if (r.Serial) p.SondeId = TAscentPanel::NormaliseSerial(*r.Serial);
  if (r.Observer) p.ObserverText = TAscentPanel::NormaliseObserver(*r.Observer);
  // Values given here are this send's metadata, to be kept with its record.
  if (r.Number || r.Repeated || r.RaRa || r.Balloon || r.Gas || r.Termination || r.Lift || r.Train || r.Serial ||
      r.Observer)
    p.MetaChangedSinceSend = true;
  p.IncludeBBB = !r.BBB.empty();
  p.CCx = r.BBB.compare(0, 2, "RR") != 0;
  p.BBBLetter = r.BBB.empty() ? 0 : r.BBB[2] - 'A';
  p.BBB = r.BBB;
}

}  // namespace

int SendTagOf(const std::string& name) {
  for (int tag = 1; tag <= kSendCount; ++tag)
    if (name == SendShortName(tag)) return tag;
  return 0;
}

tSendRequest ParseSendArguments(const std::vector<std::string>& args) {
  if (args.size() < 2) throw TernError(cp("Укажите восхождение и сообщение"));
  tSendRequest r;
  r.Ascent = args[0];
  r.Tag = SendTagOf(UpperCase(args[1]));
  if (!r.Tag) throw TernError(cp("Неизвестное сообщение: ") + args[1]);
  for (size_t i = 2; i < args.size(); i += 2) {
    const std::string& name = args[i];
    // "--repeated" alone is the flag of the other commands; "--repeated 0|1" is kept.
    if (name == "--repeated" && (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0)) {
      r.Repeated = 1;
      --i;
      continue;
    }
    if (i + 1 >= args.size()) throw TernError(cp("Нет значения для ") + name);
    const std::string& v = args[i + 1];
    if (name == "--bbb") {
      r.BBB = UpperCase(v);
      if (!ValidBbb(r.BBB)) throw TernError(cp("Неверный индикатор BBB: ") + v);
    } else if (name == "--number") {
      r.Number = IntArg(name, v);
    } else if (name == "--radiosonde" || name == "--rara") {  // the other commands' name; "--rara" as before
      r.RaRa = IntArg(name, v);
    } else if (name == "--balloon") {
      r.Balloon = IntArg(name, v);
    } else if (name == "--gas") {
      r.Gas = IntArg(name, v);
    } else if (name == "--termination") {
      r.Termination = IntArg(name, v);
    } else if (name == "--repeated") {
      r.Repeated = IntArg(name, v);
    } else if (name == "--lift") {
      r.Lift = RealArg(name, v);
    } else if (name == "--train") {
      r.Train = RealArg(name, v);
    } else if (name == "--serial") {
      r.Serial = v;
    } else if (name == "--observer") {
      r.Observer = v;
    } else {
      throw TernError(cp("Неизвестный параметр: ") + name);
    }
  }
  return r;
}

int RunSend(const ParamList& params, const tSendRequest& request, ISendTransports& transports,
            const std::function<void(const std::string&)>& say, const std::function<void(const std::string&)>& ask) {
  UnattendedOperator op(say, ask ? ask : say);
  TDesk desk(params, op, CreateAscentObject);
  try {
    desk.Create(FindSwitchValue(params, "C"));
  } catch (const TernError& e) {
    say(TDesk::FatalStop(e));
    return 1;
  }
  say(cp("Настройки: ") + desk.SettingsFolder);
  const bool text = request.Tag <= kSendPriz;
  if (text && desk.Messages.Spooling.Text == TextMode::Clipboard) {
    say(cp("Режим отправки текстовых сообщений - буфер обмена; без окна он невозможен"));
    return 1;
  }
  if (!desk.LoadAscent(request.Ascent)) {
    say(cp("Восхождение не открыто: ") + request.Ascent);
    return 1;
  }
  say(cp("Восхождение: ") + request.Ascent);
  try {
    ApplyRequest(request, desk.Panel);
  } catch (const TernError& e) {
    say(e.Text());
    return 1;
  }
  say(cp("Сообщение: ") + SendShortName(request.Tag) + (request.BBB.empty() ? "" : " " + request.BBB));

  UnattendedView view;
  TDeskSendWorkflow workflow(view, transports);
  desk.Workflow = &workflow;
  desk.SendClick(request.Tag);
  // The counters and the last ascent are kept as the desk keeps them at closing.
  desk.Panel.VariablesChanged = desk.Panel.VariablesChanged || desk.Vars.Changed;
  desk.OnClose();
  const bool sent = workflow.LastOutcome == SendOutcome::Sent;
  say(sent ? cp("Отправлено") : cp("Не отправлено"));
  return sent ? 0 : 1;
}

}  // namespace tern
