#pragma once
// Helpers for driving modal windows in tests: act on the next modal box once it is shown.
#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace tern::test {

// Runs action with the active modal widget as soon as one is shown; stops
// watching when the returned guard dies, so an unused watch cannot leak into
// the next test.
class ModalWatch {
 public:
  explicit ModalWatch(std::function<void(QWidget*)> action) : timer_(std::make_unique<QTimer>()) {
    timer_->setInterval(5);
    QObject::connect(timer_.get(), &QTimer::timeout, [this, action] {
      if (QWidget* w = QApplication::activeModalWidget()) {
        timer_->stop();
        fired = true;
        action(w);
      }
    });
    timer_->start();
  }
  bool fired = false;

 private:
  std::unique_ptr<QTimer> timer_;
};

// Types text into a widget one character at a time, Cyrillic included.
inline void TypeText(QWidget* w, const QString& text) {
  for (const QChar ch : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(w, &release);
  }
}

}  // namespace tern::test
