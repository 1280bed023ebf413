#pragma once
// Helpers for driving modal windows in tests: act on the next modal box once it is shown.
#include <QApplication>
#include <QElapsedTimer>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

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

// Pumps events until cond holds or ms milliseconds pass; false on time-out.
inline bool WaitFor(const std::function<bool()>& cond, int ms = 3000) {
  QElapsedTimer t;
  t.start();
  while (!cond()) {
    if (t.elapsed() > ms) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

inline void PressKey(QWidget* w, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(w, &press);
}

// Types text into a widget one character at a time, Cyrillic included.
inline void TypeText(QWidget* w, const QString& text) {
  for (const QChar ch : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(w, &release);
  }
}

// Answers every modal widget that is shown while the object lives, each once,
// in the order they appear: a chain of boxes (a dialog, then the error it
// causes) is answered without one watch per box.
class ModalAnswerer {
 public:
  explicit ModalAnswerer(std::function<void(QWidget*)> answer) : timer_(std::make_unique<QTimer>()) {
    timer_->setInterval(5);
    QObject::connect(timer_.get(), &QTimer::timeout, [this, answer] {
      QWidget* w = QApplication::activeModalWidget();
      if (!w || w == last_) return;
      last_ = w;
      ++answered;
      answer(w);
    });
    timer_->start();
  }
  int answered = 0;

 private:
  std::unique_ptr<QTimer> timer_;
  QPointer<QWidget> last_;  // a later box may be built where a gone one lay
};

// What the window system sends when the operator clicks a window's title-bar close control.
inline void CloseByTitleBar(QWidget* w) {
  QCloseEvent close;
  QApplication::sendEvent(w->windowHandle(), &close);
}

}  // namespace tern::test
