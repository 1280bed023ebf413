#pragma once
// The one boundary every operator action of the windows runs through: what an
// action raises is shown to the operator and the desk keeps running.
#include <exception>
#include <functional>
#include <string>

class QWidget;

namespace tern {

// The operator's text of an error: a TernError's own text; anything else
// with a short prefix saying it was not expected (cp1251).
std::string OperatorTextOf(const std::exception_ptr& error);

// Shows an error over owner in the choice box; an unexpected one is also
// written to the log.
void ReportError(QWidget* owner, const std::exception_ptr& error);

// Runs action; true when it finished, false when it raised (then reported).
bool Guard(QWidget* owner, const std::function<void()>& action);

// action (without arguments) as a slot that runs inside Guard.
template <class F>
auto Guarded(QWidget* owner, F action) {
  return [owner, action = std::move(action)] { Guard(owner, action); };
}

}  // namespace tern
