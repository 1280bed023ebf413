#include "app/SendWorkflow.h"

#include <exception>

#include "app/TelegramFiles.h"
#include "base/Error.h"
#include "base/Files.h"
#include "base/Text.h"
#include "bufr/UnfitValues.h"
#include "bulletins/TextBulletin.h"
#include "config/CodeTables.h"
#include "transmit/smtp/SMTPTask.h"

namespace tern {
namespace {

constexpr const char* kShortNames[kSendCount] = {"TTAA", "TTBB", "TTCC", "TTDD", "SLOY", "PRIZ", "BUFR1", "BUFR2"};

bool IsText(int tag) { return tag >= kSendTTAA && tag <= kSendPriz; }

// The update sequence of a corrected message: the letter of a "CCx" indicator, A = 1.
uint16_t UpdateSequenceOf(const std::string& bbb) {
  if (bbb.size() == 3 && bbb.compare(0, 2, "CC") == 0 && bbb[2] >= 'A' && bbb[2] <= 'Z')
    return static_cast<uint16_t>(bbb[2] - 'A' + 1);
  return 0;
}

TextList AddressesOf(const std::string& list) {
  TextList out;
  for (const std::string& item : SplitAddressList(list))
    if (!item.empty()) out.push_back(item);
  return out;
}

}  // namespace

const char* SendShortName(int sendTag) {
  return sendTag >= 1 && sendTag <= kSendCount ? kShortNames[sendTag - 1] : "";
}

std::string TSendWorkflow::TelegramFileName(int tag) const {
  return tern::TelegramFileName(c_.Ascent, SendShortName(tag), Bbb(), c_.Settings.Spooling.TextFolder);
}

std::string TSendWorkflow::TextSubject(int tag) const {
  return TextMailSubject(tag, c_.Settings, c_.Ascent.ObsTime, Bbb());
}

SendOutcome TSendWorkflow::btnSendClick(int tag) {
  if (tag < 1 || tag > kSendCount) return SendOutcome::Stopped;
  try {
    return IsText(tag) ? SendText(tag) : SendBufr(tag);
  } catch (const TernError& e) {
    c_.Op.Message(e.Text());
  } catch (const std::exception& e) {
    c_.Op.Message(e.what());
  }
  MailInProgress = false;
  return SendOutcome::Stopped;
}

int TSendWorkflow::AskExisting(const std::string& fileName, const std::string& shortName) {
  Question q;
  q.title = cp("Файл уже существует");
  q.text = ExtractFileName(fileName);
  q.buttons = {cp("Создать новый"), cp("Использовать существующий"), cp("Отменить отправку ") + shortName};
  q.icon = BoxIcon::Question;
  q.defaultButton = 1;
  q.escButton = 3;
  return c_.Op.Ask(q);
}

std::string TSendWorkflow::BuildText(int tag) const {
  tTempOptions options;
  options.InjectRaRa = Options().InjectRaRa;
  options.Add61616 = Options().Opt61616;
  options.RaRa = c_.Panel.RaRa.Index;
  return BuildTextBulletin(tag, c_.Ascent, Bbb(), c_.Settings, options, c_.Op);
}

void TSendWorkflow::SaveCopy(const std::string& fileName, const std::string& text) {
  SaveTelegram(fileName, text);
  if (c_.Settings.Spooling.Text == TextMode::SaveFolder)
    c_.Op.Message(cp("Файл ") + ExtractFileName(fileName) + cp(" сохранен в папку\r") +
                  c_.Settings.Spooling.TextFolder);
}

SendOutcome TSendWorkflow::SendText(int tag) {
  const std::string shortName = SendShortName(tag);
  const std::string fileName = TelegramFileName(tag);
  const bool keepsCopies = Options().SaveTLG || c_.Settings.Spooling.Text == TextMode::SaveFolder;

  std::string text;
  bool reused = false;
  if (keepsCopies && FileExists(fileName)) {
    const int answer = AskExisting(fileName, shortName);
    if (answer == 2) {
      if (auto saved = ReadSavedTelegram(fileName, shortName, c_.Op)) {
        text = std::move(*saved);
        reused = true;
      }
    } else if (answer != 1) {
      return SendOutcome::Stopped;
    }
  }
  if (!reused) text = BuildText(tag);
  const std::string subject = TextSubject(tag);

  if (!reused) {
    if (Options().DisplayTLG &&
        !c_.Desk.ShowTelegram(text, cp("Телеграмма:") + shortName, !Options().EditTLG, cp("Отправить")))
      return SendOutcome::Stopped;
    if (Options().SaveTLG) SaveCopy(fileName, text);
  }
  return TransportText(tag, text, subject, reused, fileName);
}

SendOutcome TSendWorkflow::TransportText(int tag, const std::string& text, const std::string& subject, bool reused,
                                         const std::string& fileName) {
  const std::string shortName = SendShortName(tag);
  switch (c_.Settings.Spooling.Text) {
    case TextMode::Clipboard:
      c_.Desk.SetClipboardText(text);
      c_.Op.Message(cp("Сообщение ") + shortName + cp(" скопировано в буфер обмена"));
      break;
    case TextMode::SaveFolder:
      if (!Options().SaveTLG && !reused) SaveCopy(fileName, text);
      break;
    case TextMode::FTP: {
      if (!PrepareTextTask(c_.Tasks.TextFTP, text, shortName, Naming(), c_.Op)) return SendOutcome::Stopped;
      const bool delivered = c_.Transports.SendFileFTP(c_.Tasks.TextFTP);
      // The file name was used either way; the bulletin number only when the bulletin went out.
      if (delivered) c_.Variables.AdvanceTextBulletin();
      c_.Variables.AdvanceTextFile();
      if (!delivered) return SendOutcome::Failed;
      break;
    }
    case TextMode::MAPI:
      if (!MailOut(tag, subject, text, {})) return SendOutcome::Failed;
      break;
    case TextMode::SMTP:
      if (!SmtpOut(c_.Tasks.TextSMTP, true, subject, text)) return SendOutcome::Failed;
      break;
  }
  MarkSent(tag);
  return SendOutcome::Sent;
}

void TSendWorkflow::HandMetadataToAscent(int tag) {
  TUAMessage& a = c_.Ascent;
  const TAscentPanel& p = c_.Panel;
  a.SetSondeSerial(p.SondeId);
  a.SetAscentNo(static_cast<uint16_t>(p.Number));
  a.SetReleasePoint(static_cast<uint16_t>(p.Repeated + 1));
  a.SetObserver(ObserverCode(p.ObserverText));
  a.SetTrainLength(p.Train);
  a.SetGasAmount(p.Lift);
  a.SelectBalloon(p.Balloon.Index);
  a.SelectGas(p.Gas.Index);
  if (tag == kSendBufrII) a.SelectTermination(p.Termination.Index);
}

SendOutcome TSendWorkflow::SendBufr(int tag) {
  TUAMessage& a = c_.Ascent;
  a.SetBufrI(tag == kSendBufrI);
  if (!a.SelectRadiosonde(c_.Panel.RaRa.Index)) throw TernError(cp("Ошибка задания кодов радиозондов"));
  if (a.ExtMeta > 0) HandMetadataToAscent(tag);
  a.BuildHeading(Bbb());
  a.MakeBufrFileName();
  a.SetUpdateSeq(UpdateSequenceOf(Bbb()));
  a.SetBulletinNo(c_.Variables.Counters.BufrBulletin);

  bool reuse = false;
  if (FileExists(a.BufrFileName)) {
    const int answer = AskExisting(a.BufrFileName, "BUFR");
    if (answer == 2)
      reuse = true;
    else if (answer != 1)
      return SendOutcome::Stopped;
  }
  if (!reuse) {
    if (!a.LoadData()) return SendOutcome::Stopped;
    if (Options().ViewDATA && !c_.Desk.ShowCheckData(a, !Options().EditDATA)) return SendOutcome::Stopped;
    if (!ConfirmUnfitValues(a, c_.Op)) return SendOutcome::Stopped;
    if (!a.EncodeBufr()) {
      if (!a.BufrFileName.empty()) c_.Op.Message(cp("Ошибка BUFR!"));
      return SendOutcome::Stopped;
    }
    if (c_.Settings.Spooling.Bufr == BufrMode::KeepFile)
      c_.Op.Message(NameWithoutExt(ExtractFileName(a.BufrFileName)) + cp("\rсохранен"));
  }
  std::string subject;
  a.ExpandHeading(c_.Settings.MailBinary.SubjectFor(tag), Bbb(), subject);
  return TransportBufr(tag, subject);
}

SendOutcome TSendWorkflow::TransportBufr(int tag, const std::string& subject) {
  const std::string& file = c_.Ascent.BufrFileName;
  switch (c_.Settings.Spooling.Bufr) {
    case BufrMode::KeepFile:
      break;
    case BufrMode::CopyFolder:
      CopyBufr();
      break;
    case BufrMode::FTP: {
      if (!PrepareBUFRTask(c_.Tasks.BufrFTP, file, Naming(), c_.Op)) return SendOutcome::Stopped;
      const bool delivered = c_.Transports.SendFileFTP(c_.Tasks.BufrFTP);
      // Both numbers were used in the upload's names and headings, delivered or not.
      c_.Variables.AdvanceBufrFile();
      c_.Variables.AdvanceBufrBulletin();
      if (!delivered) return SendOutcome::Failed;
      MarkSent(tag);
      return SendOutcome::Sent;
    }
    case BufrMode::MAPI:
      if (!MailOut(tag, subject, {}, file)) return SendOutcome::Failed;
      MarkSent(tag);
      return SendOutcome::Sent;
    case BufrMode::SMTP:
      if (!SmtpOut(c_.Tasks.BufrSMTP, false, subject, file)) return SendOutcome::Failed;
      break;
  }
  c_.Variables.AdvanceBufrBulletin();
  MarkSent(tag);
  return SendOutcome::Sent;
}

void TSendWorkflow::CopyBufr() {
  const std::string& file = c_.Ascent.BufrFileName;
  const std::string& folder = c_.Settings.Spooling.BufrFolder;
  if (folder.empty()) {
    c_.Op.Message(NameWithoutExt(file) + cp("\rсохранен"));
    return;
  }
  bool copied = false;
  try {
    const std::string target = DatedFolder(folder, c_.Ascent.ObsTime);
    ForceFolders(target);
    copied = CopyFileTo(file, target + ExtractFileName(file));
  } catch (const TernError&) {
    copied = false;
  }
  // A failed copy leaves the message sent: the BUFR file itself is in place.
  c_.Op.Message(copied ? cp("Файл ") + ExtractFileName(file) + cp(" скопирован в папку\r") + folder
                       : cp("Ошибка копирования в папку:") + folder);
}

bool TSendWorkflow::MailOut(int tag, const std::string& subject, const std::string& body,
                            const std::string& attachment) {
  const tMailSettings& mail = IsText(tag) ? c_.Settings.MailText : c_.Settings.MailBinary;
  tMailHandOff m;
  m.Subject = subject;
  m.Body = body;
  m.SenderName = c_.Ascent.StationIndText;
  m.To = AddressesOf(mail.To);
  if (!mail.CC.empty()) m.Cc = AddressesOf(mail.CC);
  if (!mail.BCC.empty()) m.Bcc = AddressesOf(mail.BCC);
  if (!attachment.empty()) m.Attachments.push_back(attachment);
  m.From = mail.From;

  MailInProgress = true;
  const int result = c_.Transports.SendMailClient(m);
  MailInProgress = false;
  if (result != 0) {
    c_.Op.Message(cp("Ошибка отправки!"));
    if (c_.Desk.CloseRequested()) c_.Desk.TerminateApplication();
    return false;
  }
  // A client that cannot say whether it sent the message leaves it to the
  // operator; only a plain "Да" counts it as sent.
  if (!c_.Transports.MailClientReportsOutcome() && !AskMailClientSent(tag)) return false;
  if (!IsText(tag)) c_.Variables.AdvanceBufrBulletin();
  return true;
}

bool TSendWorkflow::AskMailClientSent(int tag) {
  Question q;
  q.title = cp("Запрос");
  q.text = cp("Почтовая программа отправила сообщение ") + SendShortName(tag) + "?";
  q.buttons = {cp("Да"), cp("Нет")};
  q.icon = BoxIcon::Question;
  q.defaultButton = 2;
  q.escButton = 2;
  return c_.Op.Ask(q) == 1;
}

// body: the bulletin text in text mode, the BUFR file's path otherwise.
bool TSendWorkflow::SmtpOut(tSMTPTaskRecord& task, bool textMode, const std::string& subject,
                            const std::string& body) {
  task.TextMode = textMode;
  task.Subject = subject;
  task.Body = body;
  if (c_.Transports.SendMailSMTP(task)) return true;
  c_.Op.Message(cp("Ошибка отправки.."));
  return false;
}

tFTPNaming TSendWorkflow::Naming() const {
  tFTPNaming n;
  n.StationIndex = c_.Ascent.StationInd;
  n.CCCC = c_.Ascent.CCCC;
  n.ObsTime = c_.Ascent.ObsTime;
  n.ReleaseTime = c_.Ascent.LaunchTime;
  n.BBB = Bbb();
  n.BulletinNo = c_.Variables.Counters.TextBulletin;
  n.TextFileNo = static_cast<uint32_t>(c_.Variables.Counters.TextFile);
  n.BufrFileNo = static_cast<uint32_t>(c_.Variables.Counters.BufrFile);
  return n;
}

void TSendWorkflow::MarkSent(int tag) {
  if (tag < 1 || tag > kSendCount) return;
  const std::string& bbb = Bbb();
  tSendButton& button = c_.Panel.Send[tag - 1];
  button.Caption = bbb.empty() ? button.Base : button.Base + "-" + bbb;
  button.Struck = true;
  button.Colour = Ink::Black;
  if (!IsText(tag)) BufrNotSent = false;

  const std::string sentFile = c_.Panel.SentFileName();
  if (sentFile.empty()) return;
  RecordSend(sentFile, tag, bbb, Clock());
  if (tag != kSendTTBB && IsText(tag)) return;
  if (c_.Panel.MetaChangedSinceSend) {
    c_.Variables.Choices = ChoicesOf(c_.Panel);
    c_.Variables.SaveAscentVariables(sentFile, VariablesForm::Sent, c_.Ascent);
    c_.Panel.MetaChangedSinceSend = false;
  }
  const auto& s = c_.Panel.Send;
  if (c_.Panel.BBBCaption == Ink::Red && s[kSendBufrI - 1].Colour == Ink::Black &&
      s[kSendBufrII - 1].Colour == Ink::Black && s[kSendTTBB - 1].Colour == Ink::Black)
    c_.Panel.BBBCaption = Ink::Blue;
}

}  // namespace tern
