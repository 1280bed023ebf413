#include "app/AscentPanel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/DateTime.h"
#include "base/Files.h"
#include "config/MyIniFile.h"
#include "sounding/UAMessage.h"

namespace tern {
namespace {

constexpr const char* kSentKeys[kSendCount] = {"AA", "BB", "CC", "DD", "SL", "PZ", "AB", "CD"};
constexpr int kNoRsCode = 255;

// Every tag of the panel, in the order a restored ascent is checked.
constexpr InfoTag kAllTags[] = {kInfoNumber, kInfoRepeated, kInfoObserver, kInfoRaRa, kInfoSerial,
                                kInfoBalloon, kInfoGas, kInfoLift, kInfoTrain, kInfoTermination};

bool InRange(double v, tSpinLimits l) { return v >= l.Min && v <= l.Max; }

// An index kept on a list: absolute value modulo the length; nothing for an empty list.
int FoldIndex(int value, const TextList& items) {
  if (items.empty()) return -1;
  return static_cast<int>(std::abs(static_cast<long long>(value)) % static_cast<long long>(items.size()));
}

bool IsCapitalCyrillic(unsigned char c) { return c >= 192 && c <= 223; }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

}  // namespace

const char* SentKey(int sendTag) { return sendTag >= 1 && sendTag <= kSendCount ? kSentKeys[sendTag - 1] : ""; }

void TAscentPanel::Configure(const TDeskOptions& options, TUAMessage& ascent, IOperator& op) {
  opt_ = options;
  ascent_ = &ascent;
  op_ = &op;
  ascent.FillRaRaList(RaRa.Items);
  ascent.FillBalloonList(Balloon.Items);
  ascent.FillGasList(Gas.Items);
  ascent.FillTerminationList(Termination.Items);
  if (!opt_.Repeated) Repeated = 0;
  ResetButtons();
  ResetFlags();
}

bool TAscentPanel::InputEnabled(int tag) const {
  switch (tag) {
    case kInfoNumber: return NumberEnabled;
    case kInfoRepeated: return opt_.Repeated;
    case kInfoRaRa: return opt_.RaRaChoice();
    default: return tag >= 1 && tag <= kInfoTagCount;
  }
}

std::string TAscentPanel::NormaliseObserver(const std::string& text) {
  const std::string upper = UpperCase(FirstChars(text, 4));
  std::string out;
  for (unsigned char c : upper)
    if (IsDigit(c) || IsCapitalCyrillic(c)) out += static_cast<char>(c);
  return out;
}

std::string TAscentPanel::NormaliseSerial(const std::string& text) {
  const std::string upper = UpperCase(FirstChars(text, 20));
  std::string out;
  for (unsigned char c : upper)
    if (c == '-' || c == '/' || IsDigit(c) || (c >= 'A' && c <= 'Z') || c == 0xB9 /* № */ || IsCapitalCyrillic(c))
      out += static_cast<char>(c);
  return out;
}

void TAscentPanel::AddObserver(const std::string& initials) {
  if (ComboIndexOf(Observers, initials) >= 0) return;
  Observers.insert(std::upper_bound(Observers.begin(), Observers.end(), initials), initials);
}

void TAscentPanel::ResetButtons() {
  static const char* const kCaptions[kSendCount] = {"TTAA", "TTBB", "TTCC", "TTDD", "", "ПРИЗ", "BUFR I", "BUFRII"};
  for (int i = 0; i < kSendCount; ++i) {
    Send[i].Base = Send[i].Caption = i == kSendLayer - 1 ? LayerCaption : cp(kCaptions[i]);
    Send[i].Struck = false;
    Send[i].Colour = Ink::Black;
  }
}

void TAscentPanel::ResetFlags() {
  Ok.fill(false);
  Ok[kInfoRepeated] = !opt_.Repeated;
  Ok[kInfoRaRa] = opt_.RaRaMode <= 1;
}

std::string TAscentPanel::SentFileName() const {
  return ascent_ && !ascent_->SourceFile.empty() ? ChangeFileExt(ascent_->SourceFile, ".GTS") : std::string();
}

std::string TAscentPanel::DisplayName() const {
  if (!ascent_) return {};
  return ascent_->SourceName.empty() ? ascent_->SourceFile : ascent_->SourceName;
}

int TAscentPanel::DefaultAscentNumber() const {
  const DateParts p = DecodeDateTime(ascent_ ? ascent_->ObsTime : 0);
  if (p.month == 1 && p.day == 1) return p.hour >= 12 ? 2 : 1;
  return LastAscentNo + 1;
}

bool TAscentPanel::LoadAscent(const std::string& path) {
  if (!ascent_) return false;
  // 1. Inputs back to their start, silently.
  EventsActive = false;
  AscentLabel.clear();
  Repeated = 0;
  if (opt_.ObserverOn) ObserverText.clear();
  SondeId.clear();
  IncludeBBB = false;
  CbxBBBClick();
  Termination.Index = -1;

  // 2. A fresh ascent, nothing to send yet.
  ascent_->Clear(false);
  for (auto& b : Send) {
    b.Enabled = false;
    b.Colour = Ink::Black;
    b.Struck = false;
  }

  // 3. The family's reader reports its own failures.
  uint8_t stored = kNoRsCode;
  if (!ascent_->OpenAscent(path, stored)) return false;
  Loaded = true;

  // 4. A sounding system with radiosonde codes whose files lack them.
  if (ascent_->SystemCode >= 1 && ascent_->SystemCode <= 9 && opt_.RaRaMode >= 1 && opt_.RaRaMode <= 3 &&
      stored == kNoRsCode)
    op_->Message(cp("Ошибка чтения кодовых цифр для типа радиозонда/системы из данных выпуска ") + DisplayName());

  // 5. Captions, flags and colours of a new ascent.
  ResetButtons();
  ResetFlags();
  InfoCaption = Ink::Red;
  for (int tag : kAllTags)
    if (tag != kInfoRepeated && InputEnabled(tag)) InputInk[tag] = Ink::Red;
  BBBCaption = Ink::Black;

  // 6. Earlier sends restore the panel; otherwise the number follows the year's count.
  const bool restored = RestoreFromSentFile();
  if (restored) {
    Changed = false;
    for (int tag : kAllTags) {
      if (tag == kInfoRepeated && !opt_.Repeated) continue;
      if (tag == kInfoObserver && (!opt_.ObserverOn || ObserverText.empty())) continue;
      if (tag == kInfoSerial && SondeId.empty()) continue;
      ValidateInfo(tag);
    }
  } else {
    Number = DefaultAscentNumber();
  }

  // 7. The radiosonde the ascent's own files name.
  CheckRadiosondeCode(stored, restored);

  // 8. Ready for the operator.
  EventsActive = true;
  NumberEnabled = true;
  AscentInk = Ink::Blue;
  AscentLabel = NameWithoutExt(ExtractFileName(ascent_->SourceFile.empty() ? path : ascent_->SourceFile)) + "|" +
                FormatDateTime("dd.mm.yy hh:nn", ascent_->ObsTime) + cp(" ВСВ");

  // 9. Text messages may go at once; BUFR waits for the metadata.
  for (int tag : {kSendTTAA, kSendTTCC, kSendTTDD, kSendPriz, kSendLayer}) {
    Send[tag - 1].Enabled = true;
    Send[tag - 1].Colour = Ink::Black;
  }
  Send[kSendTTBB - 1].Enabled = Ok[kInfoRaRa];
  return true;
}

void TAscentPanel::CheckRadiosondeCode(uint8_t stored, bool restored) {
  const int mode = opt_.RaRaMode;
  if (restored && mode == 3) return;
  if (mode < 1 || mode > 3 || stored == kNoRsCode) return;
  const int current = ascent_->GetRsCode(static_cast<uint8_t>(RaRa.Index < 0 ? 255 : RaRa.Index)) % 100;
  if (stored == current) return;
  int found = -1;
  for (int i = 0; i < static_cast<int>(RaRa.Items.size()); ++i)
    if (ascent_->GetRsCode(static_cast<uint8_t>(i)) % 100 == stored) {
      found = i;
      break;
    }
  const std::string storedText = std::to_string(stored), currentText = std::to_string(current);
  if (found < 0) {
    op_->Message(cp("Кодовые цифры радиозонда/системы:") + storedText + cp("\rв данных выпуска ") + DisplayName() +
                 cp("\rбольше не используются!"));
    return;
  }
  if (mode <= 2) {
    RaRa.Index = found;
    return;
  }
  Question q;
  q.title = cp("Запрос");
  q.text = cp("В данных выпуска") + DisplayName() + cp("\rкодовые цифры радиозонда/системы:") + storedText +
           cp("\rне совпадают с заданными:") + currentText + "!";
  q.buttons = {cp("Оставить ") + currentText, cp("Использовать ") + storedText};
  q.icon = BoxIcon::Question;
  q.defaultButton = 1;
  if (op_->Ask(q) == 2) RaRa.Index = found;
}

bool TAscentPanel::RestoreFromSentFile() {
  const std::string name = SentFileName();
  if (name.empty() || !FileExists(name)) return false;
  TMyIniFile gts(name);

  if (gts.ValueExists("BUFR", "bufrcnf")) {
    const std::string used = gts.ReadString("BUFR", "bufrcnf", "");
    const std::string actual = std::to_string(ascent_->CnfVer);
    if (used != actual)
      op_->Message(cp("ВНИМАНИЕ!\rВозможен конфликт версий BUFRCODES.CNF:\rАктуальная версия-") + actual +
                   cp("\rИспользовалась версия-") + used + cp("\rКодовые цифры могли измениться!"));
  }

  Number = std::abs(gts.ReadInteger("Ascent", "number", 0));
  if (opt_.Repeated) Repeated = gts.ReadBool("Ascent", "repeated", false) ? 1 : 0;
  RaRa.Index = FoldIndex(gts.ReadInteger("Ascent", "RaRa", 0), RaRa.Items);
  Balloon.Index = FoldIndex(gts.ReadInteger("Ascent", "bmanuf", 0), Balloon.Items);
  Gas.Index = FoldIndex(gts.ReadInteger("Ascent", "gas", 0), Gas.Items);
  SondeId = gts.ReadString("Ascent", "RS", "");
  Lift = (std::abs(gts.ReadInteger("Ascent", "nozzle", 110)) % 1001) / 100.0;
  Train = (std::abs(gts.ReadInteger("Ascent", "train", 2000)) % 8001) / 100.0;
  Termination.Index = gts.ValueExists("Ascent", "termination")
                          ? FoldIndex(gts.ReadInteger("Ascent", "termination", 0), Termination.Items)
                          : -1;
  const std::string observer = UpperCase(gts.ReadString("Ascent", "observer", ""));
  if (!observer.empty()) {
    AddObserver(observer);
    ObserverText = observer;
  }

  for (int tag = 1; tag <= kSendCount; ++tag) {
    const std::string key = SentKey(tag), bbbKey = "BBB_" + key;
    if (gts.ReadDateTime("GTS", key, 0) != 0) {
      MarkSentCaption(tag, gts.ReadString("GTS", bbbKey, ""));
    } else {
      if (gts.ValueExists("GTS", key)) gts.DeleteKey("GTS", key);
      if (gts.ValueExists("GTS", bbbKey)) gts.DeleteKey("GTS", bbbKey);
    }
  }
  return true;
}

void TAscentPanel::MarkSentCaption(int sendTag, const std::string& bbb) {
  if (sendTag < 1 || sendTag > kSendCount) return;
  tSendButton& b = Send[sendTag - 1];
  b.Caption = b.Base + "-" + bbb;
  b.Struck = true;
}

void TAscentPanel::OnInfoChange(int tag) {
  if (!EventsActive) return;
  Changed = true;
  ValidateInfo(tag);
  VariablesChanged = true;
  MetaChangedSinceSend = true;
}

void TAscentPanel::OnInfoClick(int tag) {
  if (!EventsActive) return;
  ValidateInfo(tag);
}

void TAscentPanel::ValidateInfo(int tag) {
  if (!ascent_) return;
  const Ink c = Changed ? Ink::Blue : Ink::Black;
  auto paint = [&](Ink ink) { LabelInk[tag] = InputInk[tag] = ink; };
  bool ttbbResend = false;
  switch (tag) {
    case kInfoNumber:
      if (!InRange(Number, kNumberLimits)) Number = 1;
      Ok[tag] = true;
      paint(c);
      break;
    case kInfoRepeated:
      if (opt_.Repeated) {
        Ok[tag] = Repeated >= 0;
        if (Ok[tag]) InputInk[tag] = c;
      } else {
        Ok[tag] = true;
      }
      break;
    case kInfoObserver:
      if (opt_.ObserverOn && !ObserverText.empty()) ObserverText = NormaliseObserver(ObserverText);
      Ok[tag] = ObserverText.size() >= 3;
      if (!Ok[tag]) {
        paint(Ink::Red);
      } else {
        AddObserver(ObserverText);
        paint(c);
      }
      break;
    case kInfoRaRa: {
      if (!RaRa.Chosen()) break;
      const uint8_t code = ascent_->GetRsCode(static_cast<uint8_t>(RaRa.Index));
      Relevant61616 = !(ascent_->Single && code != 90);
      Label61616 = "61616 " + ascent_->Build61616(RaRa.Index);
      ttbbResend = (Relevant61616 && opt_.Opt61616) || opt_.InjectRaRa;
      Ok[tag] = true;
      paint(c);
      break;
    }
    case kInfoSerial:
      if (SondeId.empty()) {
        Ok[tag] = false;
        paint(Ink::Red);
      } else {
        SondeId = NormaliseSerial(SondeId);
        Ok[tag] = true;
        paint(c);
      }
      break;
    case kInfoBalloon:
    case kInfoGas:
      if ((tag == kInfoBalloon ? Balloon : Gas).Chosen()) {
        Ok[tag] = true;
        paint(c);
      }
      break;
    case kInfoLift:
    case kInfoTrain: {
      double& v = tag == kInfoLift ? Lift : Train;
      const tSpinLimits l = tag == kInfoLift ? kLiftLimits : kTrainLimits;
      if (!InRange(v, l)) v = l.Min;
      Ok[tag] = true;
      paint(c);
      break;
    }
    case kInfoTermination:
      if (Termination.Chosen()) {
        Ok[tag] = true;
        paint(c);
      }
      break;
    default:
      return;
  }
  const bool wasChanged = Changed;
  Changed = false;
  AfterValidate(tag, wasChanged, ttbbResend);
}

void TAscentPanel::AfterValidate(int tag, bool wasChanged, bool ttbbResend) {
  // TTBB depends on the radiosonde only when it carries the radiosonde's code or its 61616 section.
  const bool ttbbNeedsRaRa = opt_.InjectRaRa || (opt_.Opt61616 && Relevant61616);
  Send[kSendTTBB - 1].Enabled = ttbbNeedsRaRa ? Ok[kInfoRaRa] : true;

  tSendButton& ab = Send[kSendBufrI - 1];
  tSendButton& cd = Send[kSendBufrII - 1];
  if (ascent_->ExtMeta > 0) {
    ab.Enabled = Ok[kInfoNumber] && Ok[kInfoRepeated] && Ok[kInfoObserver] && Ok[kInfoRaRa] && Ok[kInfoSerial] &&
                 Ok[kInfoBalloon] && Ok[kInfoGas] && Ok[kInfoTrain] && Ok[kInfoLift];
    cd.Enabled = ab.Enabled && Ok[kInfoTermination];
  } else {
    ab.Enabled = cd.Enabled = Ok[kInfoRaRa];
  }
  if (cd.Enabled) InfoCaption = Ink::Black;

  if (wasChanged) {
    tSendButton& bb = Send[kSendTTBB - 1];
    if (ttbbResend && bb.Struck && !IncludeBBB) {
      bb.Colour = Ink::Red;
      BBBCaption = Ink::Red;
    }
    const bool valid = Ok[tag];
    if (valid && tag <= kInfoTrain && ab.Struck) {
      ab.Colour = Ink::Red;
      BBBCaption = Ink::Red;
    }
    if (valid && cd.Struck) {
      cd.Colour = Ink::Red;
      BBBCaption = Ink::Red;
    }
  }
  if (cd.Enabled) InfoCaption = MetaChangedSinceSend ? Ink::Blue : Ink::Black;
}

void TAscentPanel::CbxBBBClick() {
  RRxEnabled = IncludeBBB && opt_.RRx;
  BBBInputsEnabled = IncludeBBB;
  if (IncludeBBB) {
    BBB = std::string(CCx ? "CC" : "RR") + static_cast<char>('A' + std::clamp(BBBLetter, 0, 25));
    BBBCaption = Ink::Blue;
  } else {
    BBB.clear();
    BBBLetter = 0;
    BBBCaption = Ink::Black;
  }
}

void TAscentPanel::DelObserverClick() {
  if (!opt_.ObserverOn) return;
  const int i = ComboIndexOf(Observers, ObserverText);
  if (i < 0) return;
  Observers.erase(Observers.begin() + i);
  ObserverText.clear();
  if (!Observers.empty()) ObserverText = Observers.front();
  Changed = false;
  // Without an ascent nothing is checked: the check would enable send buttons.
  if (EventsActive) ValidateInfo(kInfoObserver);
}

}  // namespace tern
