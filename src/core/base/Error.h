#pragma once
#include <stdexcept>
#include <string>

namespace tern {

// The one error type of the desk. It carries the text shown to the operator,
// in cp1251 like every other text in core.
class TernError : public std::runtime_error {
 public:
  explicit TernError(std::string operatorText)
      : std::runtime_error(operatorText), text_(std::move(operatorText)) {}
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

}  // namespace tern
