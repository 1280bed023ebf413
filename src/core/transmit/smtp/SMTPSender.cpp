#include "transmit/smtp/SMTPSender.h"

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <exception>
#include <mutex>

#include "base/Error.h"
#include "transmit/NetFailure.h"
#include "transmit/Timeouts.h"
#include "transmit/smtp/MailComposer.h"

namespace tern {
namespace {

using Clock = std::chrono::steady_clock;

// Event numbers shown in the progress line are the network layer's own kinds.
constexpr int kEventInfo = CURLINFO_TEXT;
constexpr int kEventCommand = CURLINFO_HEADER_OUT;

void EnsureCurl() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::string StripLineEnd(const char* data, size_t size) {
  std::string line(data, size);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

void* MakeCurlHandle() { return curl_easy_init(); }

std::atomic<SMTPHandleMaker> handleMaker{&MakeCurlHandle};

int ReplyCode(const std::string& line) {
  if (line.size() < 3) return 0;
  auto code = TryParseInt(line.substr(0, 3));
  return code ? *code : 0;
}

long CeilSeconds(uint32_t ms) { return static_cast<long>((static_cast<uint64_t>(ms) + 999) / 1000); }

size_t Discard(char*, size_t size, size_t count, void*) { return size * count; }

// One exchange: the state the network layer's callbacks share. It runs as
// two requests on one connection: the log-in (greeting, EHLO, STARTTLS, AUTH)
// closed by a NOOP, then the envelope and the message. The message is chosen
// between the two, once the relay has said whether it takes 8-bit data.
class Exchange {
 public:
  // eightBit: the message for a relay that announced 8BITMIME; sevenBit: for one that did not.
  Exchange(const tSMTPTaskRecord& task, ISMTPMonitor& monitor, std::string sevenBit, std::string eightBit)
      : task_(task), monitor_(monitor), sevenBit_(std::move(sevenBit)), eightBit_(std::move(eightBit)) {}

  TSMTPResult Run(const TextList& recipients);

 private:
  // Drives one request on the multi handle to its end; the library's code.
  CURLcode Perform(CURLM* multi, CURL* curl);
  TNetFailure FailureOf(CURLcode code) const;
  static size_t OnRead(char* buffer, size_t size, size_t count, void* self);
  static size_t OnReply(char* buffer, size_t size, size_t count, void* self);
  static int OnDebug(CURL*, curl_infotype type, char* data, size_t size, void* self);
  static int OnPrerequest(void* self, char*, char*, int, int);
  static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);

  void CheckCancel() {
    if (!cancelled_ && monitor_.Cancelled()) cancelled_ = true;
  }
  void Command(const std::string& line);
  bool Reply(const std::string& line);

  const tSMTPTaskRecord& task_;
  ISMTPMonitor& monitor_;
  std::string sevenBit_, eightBit_;
  std::string message_;
  size_t sent_ = 0;
  std::string lastCommand_;
  int lastReplyCode_ = 0;
  bool authenticated_ = false;
  bool cancelled_ = false;
  bool mailing_ = false;       // the second request: envelope and message
  bool offers8Bit_ = false;    // 8BITMIME in the EHLO answer
  bool dataStarted_ = false;   // DATA was answered with 354
  bool accepted_ = false;      // the relay took the message: 250 after the data
  TNetFailure reason_ = TNetFailure::None;   // our own reason to stop
  TNetFailure refused_ = TNetFailure::None;  // the first step the relay refused
  std::string failure_;  // its detail, when the network layer has none
  std::chrono::steady_clock::time_point nextBeat_;
};

size_t Exchange::OnRead(char* buffer, size_t size, size_t count, void* self) {
  auto* ex = static_cast<Exchange*>(self);
  if (ex->cancelled_) return CURL_READFUNC_ABORT;
  size_t n = std::min(size * count, ex->message_.size() - ex->sent_);
  std::memcpy(buffer, ex->message_.data() + ex->sent_, n);
  ex->sent_ += n;
  return n;
}

size_t Exchange::OnReply(char* buffer, size_t size, size_t count, void* self) {
  auto* ex = static_cast<Exchange*>(self);
  return ex->Reply(StripLineEnd(buffer, size * count)) ? size * count : 0;
}

bool Exchange::Reply(const std::string& line) {
  lastReplyCode_ = ReplyCode(line);
  if (lastReplyCode_ == 235) authenticated_ = true;
  if (lastReplyCode_ == 250 && line.size() > 4 && UpperCase(Trim(line.substr(4))) == "8BITMIME") offers8Bit_ = true;
  if (lastReplyCode_ >= 400 && refused_ == TNetFailure::None) {
    if (StartsWithText(lastCommand_, "MAIL FROM:")) refused_ = TNetFailure::SenderRefused;
    if (StartsWithText(lastCommand_, "RCPT TO:")) refused_ = TNetFailure::RecipientRefused;
    if (lastCommand_ == "DATA") refused_ = TNetFailure::MessageRefused;
  }
  if (lastCommand_ == "DATA") {
    // The 250 after the data is the relay's word that it has the message:
    // from then on the message counts as sent whatever happens.
    if (lastReplyCode_ == 354) dataStarted_ = true;
    else if (dataStarted_ && lastReplyCode_ == 250) accepted_ = true;
  }
  if (task_.ShowReplies) {
    monitor_.Reply(line);
    CheckCancel();
  }
  // A relay that does not take STARTTLS must not get the credentials in
  // clear text.
  if (lastCommand_ == "STARTTLS" && lastReplyCode_ != 220) {
    reason_ = TNetFailure::TLSRefused;
    failure_ = "STARTTLS: " + line;
    return false;
  }
  return !cancelled_;
}

void Exchange::Command(const std::string& line) {
  std::string shown = line;
  if (StartsWithText(line, "AUTH ")) {
    // Keep the mechanism, hide any initial response.
    size_t space = line.find(' ', 5);
    shown = line.substr(0, space);
  } else if (lastReplyCode_ == 334) {
    shown = "***";  // an answer to an authentication challenge
  }
  lastCommand_ = UpperCase(line);
  if (lastCommand_ == "DATA") {
    monitor_.Phase(cp("Отправка сообщения.."));
    CheckCancel();
  }
  if (task_.ShowStatus) {
    monitor_.Status(kEventCommand, shown);
    CheckCancel();
  }
}

int Exchange::OnDebug(CURL*, curl_infotype type, char* data, size_t size, void* self) {
  auto* ex = static_cast<Exchange*>(self);
  if (type == CURLINFO_HEADER_OUT) {
    ex->Command(StripLineEnd(data, size));
  } else if (type == CURLINFO_TEXT && ex->task_.ShowStatus) {
    ex->monitor_.Status(kEventInfo, StripLineEnd(data, size));
    ex->CheckCancel();
  }
  return 0;
}

// Runs after the log-in, before MAIL FROM: without authentication nothing is sent.
int Exchange::OnPrerequest(void* self, char*, char*, int, int) {
  auto* ex = static_cast<Exchange*>(self);
  if (!ex->authenticated_) {
    ex->reason_ = TNetFailure::LoginRefused;
    ex->failure_ = "AUTH: no authentication achieved";
    return CURL_PREREQFUNC_ABORT;
  }
  if (!ex->mailing_) return CURL_PREREQFUNC_OK;
  ex->monitor_.Phase(cp("Проверка адресов.."));
  ex->CheckCancel();
  return ex->cancelled_ ? CURL_PREREQFUNC_ABORT : CURL_PREREQFUNC_OK;
}

// The network layer calls this often, so a cancel is seen even when every
// other callback is switched off.
int Exchange::OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  auto* ex = static_cast<Exchange*>(self);
  ex->CheckCancel();
  return ex->cancelled_ ? 1 : 0;
}

CURLcode Exchange::Perform(CURLM* multi, CURL* curl) {
  curl_multi_add_handle(multi, curl);
  const bool beating = task_.Heartbeat && task_.TickMs > 0;
  const auto period = std::chrono::milliseconds(beating ? task_.TickMs : 1000);
  CURLcode code = CURLE_OK;
  int running = 1;
  while (running && !cancelled_) {
    if (curl_multi_perform(multi, &running) != CURLM_OK) break;
    if (!running) break;
    auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nextBeat_ - Clock::now()).count();
    curl_multi_poll(multi, nullptr, 0, static_cast<int>(std::max<long long>(wait, 0)), nullptr);
    if (Clock::now() >= nextBeat_) {
      nextBeat_ = Clock::now() + period;
      if (beating) {
        monitor_.Heartbeat();
        CheckCancel();
      }
    }
  }
  if (running) code = CURLE_ABORTED_BY_CALLBACK;
  int left = 0;
  while (CURLMsg* msg = curl_multi_info_read(multi, &left))
    if (msg->msg == CURLMSG_DONE) code = msg->data.result;
  curl_multi_remove_handle(multi, curl);
  return code;
}

// What the operator is told: our own reason, else the relay's refusal of the
// step it answered, else the library's.
TNetFailure Exchange::FailureOf(CURLcode code) const {
  if (reason_ != TNetFailure::None) return reason_;
  if (refused_ != TNetFailure::None) return refused_;
  return NetFailureOfCurl(code);
}

TSMTPResult Exchange::Run(const TextList& recipients) {
  TSMTPResult result;
  TSMTPServer server = SplitServer(task_.Server);
  std::string url = (task_.ImplicitTLS ? "smtps://" : "smtp://") + server.Host + ":" + std::to_string(server.Port);
  std::string from = "<" + BareAddress(task_.From) + ">";
  std::string login = task_.Login;
  std::string password = SMTPPassword(task_);
  char errorBuffer[CURL_ERROR_SIZE] = {};

  CURL* curl = static_cast<CURL*>(handleMaker.load()());
  CURLM* multi = curl ? curl_multi_init() : nullptr;
  if (!multi) {
    // Without handles the loop below would see no transfer running and take
    // that for a finished one.
    if (curl) curl_easy_cleanup(curl);
    result.ErrorText = curl_easy_strerror(CURLE_FAILED_INIT);
    return result;
  }
  curl_slist* rcpt = nullptr;
  for (const std::string& address : recipients) rcpt = curl_slist_append(rcpt, ("<" + address + ">").c_str());

  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
  // With TLS asked for, a relay that cannot switch to it gets nothing more:
  // neither the login nor the message.
  if (task_.StartTLS && !task_.ImplicitTLS) curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, task_.TLSVerify ? 1L : 0L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, task_.TLSVerify ? 2L : 0L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(ConnectTimeoutMs(task_.ConnectTimeoutMs)));
  curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, CeilSeconds(AnswerTimeoutMs(task_.ReplyTimeoutMs)));
  curl_easy_setopt(curl, CURLOPT_USERNAME, login.c_str());
  curl_easy_setopt(curl, CURLOPT_PASSWORD, password.c_str());
  curl_easy_setopt(curl, CURLOPT_LOGIN_OPTIONS, "AUTH=CRAM-MD5;AUTH=PLAIN;AUTH=LOGIN");
  curl_easy_setopt(curl, CURLOPT_READFUNCTION, &Exchange::OnRead);
  curl_easy_setopt(curl, CURLOPT_READDATA, this);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Discard);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &Exchange::OnReply);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
  curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, &Exchange::OnDebug);
  curl_easy_setopt(curl, CURLOPT_DEBUGDATA, this);
  curl_easy_setopt(curl, CURLOPT_PREREQFUNCTION, &Exchange::OnPrerequest);
  curl_easy_setopt(curl, CURLOPT_PREREQDATA, this);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Exchange::OnProgress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);

  const auto period = std::chrono::milliseconds(task_.Heartbeat && task_.TickMs > 0 ? task_.TickMs : 1000);
  nextBeat_ = Clock::now() + period;

  // The log-in, kept open for the message.
  curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, "NOOP");
  curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 0L);
  CURLcode code = Perform(multi, curl);

  if (code == CURLE_OK && !cancelled_) {
    mailing_ = true;
    message_ = offers8Bit_ ? std::move(eightBit_) : std::move(sevenBit_);
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, nullptr);
    curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);  // QUIT once the message is through
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.c_str());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(message_.size()));
    code = Perform(multi, curl);
  }
  curl_easy_cleanup(curl);
  curl_multi_cleanup(multi);
  curl_slist_free_all(rcpt);

  // Accepted is sent: a cancel or a failure after the relay's 250 changes nothing.
  result.Sent = accepted_ || (!cancelled_ && code == CURLE_OK && mailing_);
  result.Cancelled = cancelled_ && !result.Sent;
  if (!result.Sent && !cancelled_ && task_.AbortOnError) {
    const std::string detail = !failure_.empty() ? failure_ : errorBuffer[0] ? errorBuffer : curl_easy_strerror(code);
    result.ErrorText = NetFailureText(FailureOf(code), detail);
  }
  return result;
}

}  // namespace

TextList EnvelopeRecipients(const tSMTPTaskRecord& task) {
  std::string list = task.To;
  if (!task.Cc.empty()) list += "," + task.Cc;
  if (!task.Bcc.empty()) list += "," + task.Bcc;
  TextList recipients;
  for (const std::string& item : SplitAddressList(list)) {
    std::string address = BareAddress(item);
    if (address.empty()) {
      if (recipients.empty()) return {};
      continue;
    }
    recipients.push_back(address);
  }
  return recipients;
}

TSMTPResult SendSMTPMessage(const tSMTPTaskRecord& task, ISMTPMonitor& monitor) {
  EnsureCurl();
  TSMTPResult result;
  try {
    monitor.Phase(cp("Подготовка сообщения.."));
    if (monitor.Cancelled()) {
      result.Cancelled = true;
      return result;
    }
    std::string message = ComposeMailMessage(task);
    TextList recipients = EnvelopeRecipients(task);
    if (recipients.empty()) {
      result.ErrorText = cp("Нет адреса получателя");
      return result;
    }
    TSMTPServer server = SplitServer(task.Server);
    if (server.Host.empty() || server.Port == 0) {
      result.ErrorText = "host: " + task.Server;
      return result;
    }
    monitor.Phase(cp("Подключение к серверу.."));
    if (monitor.Cancelled()) {
      result.Cancelled = true;
      return result;
    }
    Exchange exchange(task, monitor, std::move(message), ComposeMailMessage(task, true));
    return exchange.Run(recipients);
  } catch (const TernError& e) {
    result.ErrorText = e.Text();
  } catch (const std::exception& e) {
    result.ErrorText = e.what();
  }
  return result;
}

void SetSMTPHandleMaker(SMTPHandleMaker maker) { handleMaker = maker ? maker : &MakeCurlHandle; }

std::string SMTPOutcomeText(const TSMTPResult& result) {
  if (result.Sent) return cp("Сообщение отправлено");
  return result.Cancelled ? cp("Отмена отправки..") : cp("Ошибка отправки..");
}

}  // namespace tern
