#pragma once
// Questions on the command line: nobody is there to answer, so the default
// button answers (the Esc button when there is none, a closed box otherwise);
// question and answer go to standard error for the log of the job.
#include <cstdio>

#include "base/Operator.h"

namespace tern {

class CliOperator : public IOperator {
 public:
  explicit CliOperator(std::FILE* out = stderr) : out_(out) {}
  int Ask(const Question& q) override;
  void Message(const std::string& text) override;

 private:
  std::FILE* out_;
};

}  // namespace tern
