#pragma once
// The desk's application object. Every operator action has its own error
// boundary; this is the last resort for an exception none of them caught: it
// is reported like the others instead of ending the program.
#include <QApplication>

namespace tern {

class TDeskApplication : public QApplication {
 public:
  TDeskApplication(int& argc, char** argv) : QApplication(argc, argv) {}
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace tern
