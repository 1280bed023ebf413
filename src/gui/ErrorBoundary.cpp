#include "ErrorBoundary.h"

#include <QApplication>
#include <QWidget>

#include "ChoiceBox.h"
#include "TextBridge.h"
#include "app/Startup.h"
#include "base/Error.h"

namespace tern {
namespace {

constexpr char kUnexpected[] = "Непредвиденная ошибка: ";

bool IsTernError(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const TernError&) {
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace

std::string OperatorTextOf(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const TernError& e) {
    return e.Text();
  } catch (const std::exception& e) {
    return cp(kUnexpected) + FromQ(QString::fromLocal8Bit(e.what()));
  } catch (...) {
    return cp(kUnexpected) + cp("исключение неизвестного типа");
  }
}

void ReportError(QWidget* owner, const std::exception_ptr& error) {
  const std::string text = OperatorTextOf(error);
  if (!IsTernError(error)) WriteLog(text);
  // A report that itself fails (a window that throws while the box paints it)
  // must not open box after box: the log keeps the later ones.
  static bool reporting = false;
  if (reporting) {
    if (IsTernError(error)) WriteLog(text);
    return;
  }
  reporting = true;
  Question q;
  q.title = FromQ(QApplication::applicationDisplayName());
  q.text = text;
  q.buttons = {"OK"};
  q.icon = BoxIcon::Error;
  q.defaultButton = 1;
  q.escButton = 1;
  try {
    ShowChoiceBox(owner, q);
  } catch (...) {
    WriteLog(OperatorTextOf(std::current_exception()));
  }
  reporting = false;
}

bool Guard(QWidget* owner, const std::function<void()>& action) {
  std::exception_ptr error;
  try {
    action();
  } catch (...) {
    error = std::current_exception();
  }
  if (!error) return true;
  // Shown outside the handler: the box runs its own event loop.
  ReportError(owner, error);
  return false;
}

}  // namespace tern
