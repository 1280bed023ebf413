#include "CliOperator.h"

#include "base/Text.h"

namespace tern {

namespace {
// The desk's texts break lines with CR; on a terminal they become LF.
std::string Printable(const std::string& cp1251) {
  std::string s = Cp1251ToUtf8(cp1251);
  for (char& c : s)
    if (c == '\r') c = '\n';
  return s;
}
}  // namespace

int CliOperator::Ask(const Question& q) {
  if (!IsValidQuestion(q)) return 0;
  const int answer = q.defaultButton > 0 ? q.defaultButton : q.escButton > 0 ? q.escButton : 2;
  std::fprintf(out_, "? %s: %s\n", Printable(q.title).c_str(), Printable(q.text).c_str());
  for (size_t i = 0; i < q.buttons.size(); ++i)
    std::fprintf(out_, "  %zu) %s\n", i + 1, Printable(q.buttons[i]).c_str());
  std::fprintf(out_, "  answer: %d\n", answer);
  return answer;
}

void CliOperator::Message(const std::string& text) { std::fprintf(out_, "! %s\n", Printable(text).c_str()); }

}  // namespace tern
