#include "base/Operator.h"

namespace tern {

bool IsValidQuestion(const Question& q) {
  const int n = static_cast<int>(q.buttons.size());
  if (n < 1 || n > 4) return false;
  const int icon = static_cast<int>(q.icon);
  if (icon < 0 || icon > 4) return false;
  if (q.defaultButton < 0 || q.defaultButton > n) return false;
  if (q.escButton < 0 || q.escButton > n) return false;
  return true;
}

int DefaultAnswerOperator::Ask(const Question& q) {
  asked.push_back(q);
  if (!IsValidQuestion(q)) return 0;
  return q.defaultButton > 0 ? q.defaultButton : 1;
}

void DefaultAnswerOperator::Message(const std::string& text) { messages.push_back(text); }

int ScriptedOperator::Ask(const Question& q) {
  asked.push_back(q);
  if (!IsValidQuestion(q)) return 0;
  if (answers_.empty()) return 2;
  const int a = answers_.front();
  answers_.pop_front();
  return a;
}

}  // namespace tern
