#include "transmit/ftp/FtpSession.h"

#include <arpa/inet.h>
#include <curl/curl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <mutex>
#include <string_view>

#include "transmit/Timeouts.h"

namespace tern {
namespace {

// libcurl wants one global initialisation per process before any handle.
void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

long CeilSeconds(uint32_t ms) { return static_cast<long>((static_cast<uint64_t>(ms) + 999) / 1000); }

std::string Escape(CURL* curl, const std::string& segment) {
  char* e = curl_easy_escape(curl, segment.c_str(), static_cast<int>(segment.size()));
  std::string out = e ? e : "";
  curl_free(e);
  return out;
}

// The folder as URL path: "\" and "/" separate, a leading separator means
// the server's root rather than the login folder.
std::string FolderPath(CURL* curl, const std::string& folder) {
  std::string path;
  size_t i = 0;
  if (!folder.empty() && (folder[0] == '/' || folder[0] == '\\')) path = "%2F";
  while (i < folder.size()) {
    const size_t j = folder.find_first_of("/\\", i);
    const std::string segment = folder.substr(i, j == std::string::npos ? std::string::npos : j - i);
    if (!segment.empty()) {
      if (!path.empty() && path != "%2F") path += '/';
      path += Escape(curl, segment);
    }
    if (j == std::string::npos) break;
    i = j + 1;
  }
  if (!path.empty()) path += '/';
  return path;
}

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

}  // namespace

struct FtpSession::Impl {
  CURL* curl = nullptr;
  char errbuf[CURL_ERROR_SIZE] = {};
  CURLcode last = CURLE_OK;
  std::string host;
  std::string rootUrl, folderUrl;
  std::string user;
  std::string password;
  StatusSink sink;
  std::function<bool()> giveUp;
  bool mayGiveUp = false;

  // The control socket is the one opened while no connection exists; data
  // sockets come and go without status texts.
  curl_socket_t controlSocket = CURL_SOCKET_BAD;
  bool awaitingGreeting = false;

  long answerTimeoutMs = 0;
  bool listingTooLong = false;

  // Per operation.
  std::string* received = nullptr;
  const Source* source = nullptr;
  bool sourceAsked = false;

  // Nothing may be thrown through the library's C frames.
  void Emit(FtpStatusEvent e, const std::string& detail = {}) {
    try {
      if (sink) sink(e, detail);
    } catch (...) {
    }
  }

  static int OnResolverStart(void*, void*, void* p) {
    auto* self = static_cast<Impl*>(p);
    self->Emit(FtpStatusEvent::ResolvingName, self->host);
    return 0;
  }

  static curl_socket_t OnOpenSocket(void* p, curlsocktype, curl_sockaddr* address) {
    auto* self = static_cast<Impl*>(p);
    const curl_socket_t s = socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
    if (s == CURL_SOCKET_BAD || self->controlSocket != CURL_SOCKET_BAD) return s;
    char text[INET6_ADDRSTRLEN] = {};
    const void* raw = nullptr;
    if (address->family == AF_INET) raw = &reinterpret_cast<const sockaddr_in*>(&address->addr)->sin_addr;
    if (address->family == AF_INET6) raw = &reinterpret_cast<const sockaddr_in6*>(&address->addr)->sin6_addr;
    if (raw) inet_ntop(address->family, raw, text, sizeof text);
    self->controlSocket = s;
    self->awaitingGreeting = true;
    self->Emit(FtpStatusEvent::NameResolved, text);
    self->Emit(FtpStatusEvent::ConnectingToServer);
    return s;
  }

  static int OnCloseSocket(void* p, curl_socket_t s) {
    auto* self = static_cast<Impl*>(p);
    const bool control = s == self->controlSocket;
    if (control) self->Emit(FtpStatusEvent::ClosingConnection);
    const int rc = close(s);
    if (control) {
      self->controlSocket = CURL_SOCKET_BAD;
      self->Emit(FtpStatusEvent::ConnectionClosed);
    }
    return rc;
  }

  static int OnDebug(CURL*, curl_infotype type, char*, size_t size, void* p) {
    auto* self = static_cast<Impl*>(p);
    if (type == CURLINFO_HEADER_OUT) {
      self->Emit(FtpStatusEvent::RequestSent, std::to_string(size));
    } else if (type == CURLINFO_HEADER_IN) {
      if (self->awaitingGreeting) {
        self->awaitingGreeting = false;
        self->Emit(FtpStatusEvent::ConnectedToServer);
      }
      self->Emit(FtpStatusEvent::ResponseReceived, std::to_string(size));
    }
    return 0;
  }

  static int OnProgress(void* p, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* self = static_cast<Impl*>(p);
    return self->mayGiveUp && self->giveUp && self->giveUp() ? 1 : 0;
  }

  static size_t OnWrite(char* data, size_t size, size_t n, void* p) {
    auto* self = static_cast<Impl*>(p);
    try {
      if (self->received) {
        if (self->received->size() + size * n > kListingLimit) {
          self->listingTooLong = true;
          return 0;  // ends the listing as failed
        }
        self->received->append(data, size * n);
      }
    } catch (...) {
      return 0;  // the listing fails instead
    }
    return size * n;
  }

  static size_t OnRead(char* buf, size_t size, size_t n, void* p) {
    auto* self = static_cast<Impl*>(p);
    self->sourceAsked = true;
    try {
      return self->source ? (*self->source)(buf, size * n) : 0;
    } catch (...) {
      return CURL_READFUNC_ABORT;
    }
  }

  struct Op {
    const std::string* url;
    bool noBody = true;
    bool upload = false;
    bool mayGiveUp = false;
    bool timeLimited = false;  // the whole operation within one answer time-out
    std::string* received = nullptr;
    const Source* source = nullptr;
    curl_slist* postQuote = nullptr;
  };

  bool Perform(const Op& op) {
    curl_easy_setopt(curl, CURLOPT_URL, op.url->c_str());
    curl_easy_setopt(curl, CURLOPT_UPLOAD, op.upload ? 1L : 0L);
    curl_easy_setopt(curl, CURLOPT_NOBODY, op.noBody ? 1L : 0L);
    curl_easy_setopt(curl, CURLOPT_POSTQUOTE, op.postQuote);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, op.timeLimited ? answerTimeoutMs : 0L);
    listingTooLong = false;
    received = op.received;
    source = op.source;
    sourceAsked = false;
    mayGiveUp = op.mayGiveUp;
    errbuf[0] = 0;
    last = curl_easy_perform(curl);
    curl_easy_setopt(curl, CURLOPT_POSTQUOTE, nullptr);
    received = nullptr;
    source = nullptr;
    mayGiveUp = false;
    return last == CURLE_OK;
  }

  bool Quote(std::initializer_list<std::string> commands) {
    curl_slist* list = nullptr;
    for (const std::string& c : commands) {
      // A name with a line break would smuggle a second command to the server.
      if (HasLineBreak(c)) {
        curl_slist_free_all(list);
        last = CURLE_QUOTE_ERROR;
        std::snprintf(errbuf, sizeof errbuf, "line break in a remote name");
        return false;
      }
      list = curl_slist_append(list, c.c_str());
    }
    Op op{&folderUrl};
    op.postQuote = list;
    const bool ok = Perform(op);
    curl_slist_free_all(list);
    return ok;
  }
};

FtpSession::FtpSession(const tFTPTaskRecord& task, StatusSink sink) : impl_(std::make_unique<Impl>()) {
  InitCurlOnce();
  Impl& m = *impl_;
  m.sink = std::move(sink);
  m.curl = curl_easy_init();
  if (!m.curl) return;
  CURL* c = m.curl;
  m.host = task.Server;
  const std::string hostPart =
      (m.host.find(':') != std::string::npos && m.host.front() != '[') ? "[" + m.host + "]" : m.host;
  m.rootUrl = "ftp://" + hostPart + "/";
  m.folderUrl = m.rootUrl + FolderPath(c, task.Folder);
  m.user = task.User;

  curl_easy_setopt(c, CURLOPT_ERRORBUFFER, m.errbuf);
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "ftp");
  curl_easy_setopt(c, CURLOPT_PORT, static_cast<long>(task.Port));
  curl_easy_setopt(c, CURLOPT_USERNAME, m.user.c_str());
  curl_easy_setopt(c, CURLOPT_TRANSFERTEXT, 0L);
  if (task.Passive) {
    curl_easy_setopt(c, CURLOPT_FTPPORT, nullptr);
  } else {
    curl_easy_setopt(c, CURLOPT_FTPPORT, "-");
  }
  // The connect time-out covers the greeting and the login too; the answer
  // time-out each reply after that.
  const uint32_t answerMs = AnswerTimeoutMs(task.ReceiveTimeout);
  m.answerTimeoutMs = static_cast<long>(answerMs);
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(ConnectTimeoutMs(task.ConnectTimeout)));
  curl_easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT, CeilSeconds(answerMs));
  curl_easy_setopt(c, CURLOPT_ACCEPTTIMEOUT_MS, static_cast<long>(answerMs));
  // A transfer that moves nothing for this long counts as failed.
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, CeilSeconds(AnswerTimeoutMs(task.SendTimeout)));

  curl_easy_setopt(c, CURLOPT_RESOLVER_START_FUNCTION, &Impl::OnResolverStart);
  curl_easy_setopt(c, CURLOPT_RESOLVER_START_DATA, &m);
  curl_easy_setopt(c, CURLOPT_OPENSOCKETFUNCTION, &Impl::OnOpenSocket);
  curl_easy_setopt(c, CURLOPT_OPENSOCKETDATA, &m);
  curl_easy_setopt(c, CURLOPT_CLOSESOCKETFUNCTION, &Impl::OnCloseSocket);
  curl_easy_setopt(c, CURLOPT_CLOSESOCKETDATA, &m);
  curl_easy_setopt(c, CURLOPT_DEBUGFUNCTION, &Impl::OnDebug);
  curl_easy_setopt(c, CURLOPT_DEBUGDATA, &m);
  curl_easy_setopt(c, CURLOPT_VERBOSE, 1L);
  curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &Impl::OnProgress);
  curl_easy_setopt(c, CURLOPT_XFERINFODATA, &m);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &Impl::OnWrite);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &m);
  curl_easy_setopt(c, CURLOPT_READFUNCTION, &Impl::OnRead);
  curl_easy_setopt(c, CURLOPT_READDATA, &m);
}

FtpSession::~FtpSession() {
  if (impl_->curl) curl_easy_cleanup(impl_->curl);
}

bool FtpSession::Valid() const { return impl_->curl != nullptr; }

void FtpSession::SetGiveUp(std::function<bool()> giveUp) { impl_->giveUp = std::move(giveUp); }

bool FtpSession::Connect(const std::string& password) {
  impl_->password = password;
  curl_easy_setopt(impl_->curl, CURLOPT_PASSWORD, impl_->password.c_str());
  Impl::Op op{&impl_->rootUrl};
  op.mayGiveUp = true;
  return impl_->Perform(op);
}

bool FtpSession::ChangeFolder() {
  Impl::Op op{&impl_->folderUrl};
  op.mayGiveUp = true;
  return impl_->Perform(op);
}

std::optional<std::string> FtpSession::List() {
  std::string listing;
  Impl::Op op{&impl_->folderUrl};
  op.noBody = false;
  op.mayGiveUp = true;
  op.timeLimited = true;
  op.received = &listing;
  if (impl_->Perform(op)) return listing;
  // Still streaming when the time was up: a listing without an end.
  if (impl_->last == CURLE_OPERATION_TIMEDOUT && !listing.empty()) impl_->listingTooLong = true;
  // Many servers refuse to list an empty folder ("550 No files found"); the
  // library reports that as a failed retrieval. Only this refusal of the
  // listing itself means "no files".
  long reply = 0;
  curl_easy_getinfo(impl_->curl, CURLINFO_RESPONSE_CODE, &reply);
  const bool refused = impl_->last == CURLE_FTP_COULDNT_RETR_FILE || impl_->last == CURLE_REMOTE_FILE_NOT_FOUND;
  if (refused && (reply == 450 || reply == 550)) return std::string();
  return std::nullopt;
}

bool FtpSession::Delete(const std::string& name) { return impl_->Quote({"DELE " + name}); }

bool FtpSession::Rename(const std::string& from, const std::string& to) {
  return impl_->Quote({"RNFR " + from, "RNTO " + to});
}

FtpSession::StoreResult FtpSession::Store(const std::string& name, const Source& source) {
  const std::string url = impl_->folderUrl + Escape(impl_->curl, name);
  Impl::Op op{&url};
  op.noBody = false;
  op.upload = true;
  op.source = &source;
  if (impl_->Perform(op)) return StoreResult::Stored;
  return impl_->sourceAsked ? StoreResult::WriteFailed : StoreResult::NotCreated;
}

TNetFailure FtpSession::LastFailure() const {
  if (impl_->listingTooLong) return TNetFailure::ListingTooLong;
  return NetFailureOfCurl(impl_->last);
}

std::string FtpSession::LastError() const {
  // In active mode the library notes a harmless failure to print the data
  // connection's address, and only the first note of a request is kept: the
  // real failure then speaks through its code.
  const bool addressNote = std::string_view(impl_->errbuf).starts_with("sa_addr inet_ntop()");
  if (impl_->errbuf[0] && !addressNote) return impl_->errbuf;
  return curl_easy_strerror(impl_->last);
}

}  // namespace tern
