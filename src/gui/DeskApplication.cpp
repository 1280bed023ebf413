#include "DeskApplication.h"

#include <QWidget>

#include "ErrorBoundary.h"

namespace tern {

bool TDeskApplication::notify(QObject* receiver, QEvent* event) {
  std::exception_ptr error;
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    error = std::current_exception();
  }
  QWidget* owner = activeModalWidget();
  if (!owner) owner = activeWindow();
  ReportError(owner, error);
  return false;
}

}  // namespace tern
