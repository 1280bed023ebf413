#pragma once
// The only way core asks the operator anything. The desk answers through its
// message box, the command line and the tests through the headless answerers.
#include <deque>
#include <string>
#include <vector>

namespace tern {

enum class BoxIcon { Warning = 0, Error = 1, Information = 2, Question = 3, None = 4 };

struct Question {
  std::string title;                 // cp1251
  std::string text;                  // cp1251
  std::vector<std::string> buttons;  // 1..4 captions, cp1251
  BoxIcon icon = BoxIcon::Question;
  int defaultButton = 0;             // 0 none, else 1..N
  int escButton = 0;                 // 0 none, else 1..N
};

class IOperator {
 public:
  virtual ~IOperator() = default;
  // Number of the pressed button (1..N); 0 for invalid questions. A closed box
  // answers its Esc button, or 2 when it has none or asks for a reader.
  virtual int Ask(const Question& q) = 0;
  virtual void Message(const std::string& text) = 0;
};

// Validity rule shared by every answerer: 1..4 buttons, default and Esc within them.
bool IsValidQuestion(const Question& q);

// Answers every question with its default button (or 1 when there is none); for the CLI.
class DefaultAnswerOperator : public IOperator {
 public:
  int Ask(const Question& q) override;
  void Message(const std::string& text) override;
  std::vector<Question> asked;
  std::vector<std::string> messages;
};

// Answers with a prepared script; an unexpected question answers 2 (the box closed).
class ScriptedOperator : public IOperator {
 public:
  explicit ScriptedOperator(std::deque<int> answers = {}) : answers_(std::move(answers)) {}
  int Ask(const Question& q) override;
  void Message(const std::string& text) override { messages.push_back(text); }
  void Push(int answer) { answers_.push_back(answer); }
  std::vector<Question> asked;
  std::vector<std::string> messages;

 private:
  std::deque<int> answers_;
};

}  // namespace tern
