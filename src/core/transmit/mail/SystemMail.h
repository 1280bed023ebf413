#pragma once
// Sending through the workstation's own mail client: the desk builds one
// message (subject, text, recipients by class, at most one file) and hands it
// to the client, which shows its compose window. Text is cp1251.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Text.h"

namespace tern {

enum class TMapiRecipientClass { To = 1, Cc = 2, Bcc = 3 };

struct tMapiRecipient {
  TMapiRecipientClass Class = TMapiRecipientClass::To;
  std::string Name;     // the address text as configured
  std::string Address;  // "SMTP:" + the address text
};

struct tMapiAttachment {
  int Position = -1;     // not placed inside the text
  std::string PathName;  // full path of the file
  std::string FileName;  // the file's name without folder
};

struct tMapiMessage {
  std::string Subject;   // empty: none
  std::string NoteText;  // empty: none
  std::vector<tMapiRecipient> Recipients;  // To, then Cc, then Bcc
  std::vector<tMapiAttachment> Files;      // at most one
};

// The platform's way to reach the mail client. Returns 0 when the client took
// the message, -1 when there is no client interface at all, otherwise the
// interface's own error code.
class IMailHandOff {
 public:
  virtual ~IMailHandOff() = default;
  virtual int Send(const tMapiMessage& message, bool showDialog) = 0;
  // True when 0 from Send means the client sent the message; false when it
  // only means the compose window opened, and the operator has to say.
  virtual bool ReportsOutcome() const { return true; }
};

// Runs a program with arguments and waits for it: its exit code, or -1 when
// the program cannot be started (not installed).
using TProgramLauncher = std::function<int(const std::vector<std::string>& argv)>;
int LaunchProgram(const std::vector<std::string>& argv);

// Linux: the desktop's compose window through xdg-email.
class TXdgEmailHandOff : public IMailHandOff {
 public:
  explicit TXdgEmailHandOff(TProgramLauncher launcher = LaunchProgram) : launcher_(std::move(launcher)) {}
  int Send(const tMapiMessage& message, bool showDialog) override;
  // xdg-email returns as soon as the compose window is open.
  bool ReportsOutcome() const override { return false; }
  // The command line for a message, texts in UTF-8.
  static std::vector<std::string> CommandLine(const tMapiMessage& message);

 private:
  TProgramLauncher launcher_;
};

tMapiMessage BuildMapiMessage(const std::string& subject, const std::string& body, const TextList* attachments,
                              const TextList* to, const TextList* cc, const TextList* bcc);

// Any list may be absent (nullptr). Result: 0 success, non-zero failure.
int SendMailMAPI(const std::string& subject, const std::string& body, void* parentWindow, bool showDialog,
                 const TextList* attachments, const TextList* to, const TextList* cc, const TextList* bcc,
                 IMailHandOff& handOff);
// Whether the platform's hand-off tells a sent message from an opened draft.
bool PlatformMailReportsOutcome();
// The same with the platform's hand-off.
int SendMailMAPI(const std::string& subject, const std::string& body, void* parentWindow, bool showDialog,
                 const TextList* attachments, const TextList* to, const TextList* cc, const TextList* bcc);

}  // namespace tern
