#include "transmit/mail/SystemMail.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

extern char** environ;

namespace tern {
namespace {

constexpr std::string_view kAddressPrefix = "SMTP:";

void AddRecipients(tMapiMessage& message, const TextList* list, TMapiRecipientClass kind) {
  if (!list) return;
  for (const std::string& address : *list)
    message.Recipients.push_back({kind, address, std::string(kAddressPrefix) + address});
}

std::string BareOf(const tMapiRecipient& r) {
  return r.Address.rfind(kAddressPrefix, 0) == 0 ? r.Address.substr(kAddressPrefix.size()) : r.Address;
}

}  // namespace

int LaunchProgram(const std::vector<std::string>& argv) {
  if (argv.empty()) return -1;
  std::vector<char*> raw;
  for (const std::string& a : argv) raw.push_back(const_cast<char*>(a.c_str()));
  raw.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, raw[0], nullptr, nullptr, raw.data(), environ) != 0) return -1;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return -1;
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

std::vector<std::string> TXdgEmailHandOff::CommandLine(const tMapiMessage& message) {
  std::vector<std::string> argv = {"xdg-email", "--utf8"};
  std::vector<std::string> to;
  for (const tMapiRecipient& r : message.Recipients) {
    std::string address = Cp1251ToUtf8(BareOf(r));
    switch (r.Class) {
      case TMapiRecipientClass::To: to.push_back(address); break;
      case TMapiRecipientClass::Cc: argv.insert(argv.end(), {"--cc", address}); break;
      case TMapiRecipientClass::Bcc: argv.insert(argv.end(), {"--bcc", address}); break;
    }
  }
  if (!message.Subject.empty()) argv.insert(argv.end(), {"--subject", Cp1251ToUtf8(message.Subject)});
  if (!message.NoteText.empty()) argv.insert(argv.end(), {"--body", Cp1251ToUtf8(message.NoteText)});
  for (const tMapiAttachment& file : message.Files) argv.insert(argv.end(), {"--attach", NativePath(file.PathName)});
  argv.insert(argv.end(), to.begin(), to.end());
  return argv;
}

// The compose window is always shown: xdg-email has no silent mode.
int TXdgEmailHandOff::Send(const tMapiMessage& message, bool) { return launcher_(CommandLine(message)); }

tMapiMessage BuildMapiMessage(const std::string& subject, const std::string& body, const TextList* attachments,
                              const TextList* to, const TextList* cc, const TextList* bcc) {
  tMapiMessage message;
  message.Subject = subject;
  message.NoteText = body;
  AddRecipients(message, to, TMapiRecipientClass::To);
  AddRecipients(message, cc, TMapiRecipientClass::Cc);
  AddRecipients(message, bcc, TMapiRecipientClass::Bcc);
  if (attachments && !attachments->empty()) {
    const std::string& path = attachments->front();
    message.Files.push_back({-1, path, ExtractFileName(path)});
  }
  return message;
}

int SendMailMAPI(const std::string& subject, const std::string& body, void*, bool showDialog,
                 const TextList* attachments, const TextList* to, const TextList* cc, const TextList* bcc,
                 IMailHandOff& handOff) {
  return handOff.Send(BuildMapiMessage(subject, body, attachments, to, cc, bcc), showDialog);
}

bool PlatformMailReportsOutcome() { return TXdgEmailHandOff().ReportsOutcome(); }

int SendMailMAPI(const std::string& subject, const std::string& body, void* parentWindow, bool showDialog,
                 const TextList* attachments, const TextList* to, const TextList* cc, const TextList* bcc) {
  TXdgEmailHandOff handOff;
  return SendMailMAPI(subject, body, parentWindow, showDialog, attachments, to, cc, bcc, handOff);
}

}  // namespace tern
