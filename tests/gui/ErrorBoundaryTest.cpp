#include <gtest/gtest.h>

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <stdexcept>

#include "ChoiceBox.h"
#include "DeskApplication.h"
#include "ErrorBoundary.h"
#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "TextBridge.h"
#include "app/Startup.h"
#include "base/Error.h"

using namespace tern;
using tern::test::ModalWatch;
using tern::test::TempDir;

namespace {

// What the operator saw of one report: the text of the choice box and how it was shown.
struct Seen {
  QString text;
  Qt::TextFormat format = Qt::AutoText;
  bool fired = false;
};

ModalWatch Acknowledge(Seen& seen) {
  return ModalWatch([&seen](QWidget* w) {
    if (auto* box = qobject_cast<TmbxMC*>(w)) {
      seen.text = box->lblQuerry->text();
      seen.format = box->lblQuerry->textFormat();
      box->Btn[0]->click();
    } else {
      w->close();
    }
    seen.fired = true;
  });
}

// The log of one test, closed again at the end so that no later test writes into it.
struct TestLog {
  TempDir dir;
  std::string path = dir / "desk.log";
  TestLog() { Log::Open(path); }
  ~TestLog() { Log::Disable(); }
  QString Text() const { return ToQ(test::ReadBytes(path)); }
};

}  // namespace

TEST(ErrorBoundary, EveryKindOfErrorIsShownAndOnlyTheUnexpectedAreLogged) {
  struct Case {
    const char* what;
    std::function<void()> action;
    QString shown;  // empty: nothing raised, no box
    bool logged;
  };
  const Case cases[] = {
      {"finishes", [] {}, QString(), false},
      {"operator's error", [] { throw TernError(cp("Ошибка чтения файла x.info\rстрока 1")); },
       QStringLiteral("Ошибка чтения файла x.info\nстрока 1"), false},
      {"library error", [] { throw std::out_of_range("vector index 7"); },
       QStringLiteral("Непредвиденная ошибка: vector index 7"), true},
      {"anything else", [] { throw 42; }, QStringLiteral("Непредвиденная ошибка: исключение неизвестного типа"),
       true},
  };
  for (const Case& c : cases) {
    TestLog log;
    Seen seen;
    bool finished = false;
    {
      auto watch = Acknowledge(seen);
      finished = Guard(nullptr, c.action);
    }
    EXPECT_EQ(finished, c.shown.isEmpty()) << c.what;
    EXPECT_EQ(seen.fired, !c.shown.isEmpty()) << c.what;
    EXPECT_EQ(seen.text, c.shown) << c.what;
    const bool inLog = !c.shown.isEmpty() && log.Text().contains(QString(c.shown).replace('\n', '\r'));
    EXPECT_EQ(inLog, c.logged) << c.what;
  }
}

TEST(ErrorBoundary, TheApplicationReportsWhatNoBoundaryCaught) {
  // The last resort: a click whose slot throws reaches the application object.
  auto* app = dynamic_cast<TDeskApplication*>(QCoreApplication::instance());
  ASSERT_NE(app, nullptr) << "the tests run under the desk's own application object";
  TestLog log;
  QPushButton button(QStringLiteral("Сбой"));
  int clicks = 0;
  QObject::connect(&button, &QPushButton::clicked, [&] {
    ++clicks;
    throw std::runtime_error("bad_function_call in a slot");
  });
  button.show();
  Seen seen;
  {
    auto watch = Acknowledge(seen);
    QTest::mouseClick(&button, Qt::LeftButton);
  }
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(seen.fired);
  EXPECT_EQ(seen.text, QStringLiteral("Непредвиденная ошибка: bad_function_call in a slot"));
  EXPECT_TRUE(log.Text().contains(QStringLiteral("Непредвиденная ошибка: bad_function_call in a slot")));
  // The desk goes on: the next click is handled again.
  Seen again;
  {
    auto watch = Acknowledge(again);
    QTest::mouseClick(&button, Qt::LeftButton);
  }
  EXPECT_EQ(clicks, 2);
  EXPECT_TRUE(again.fired);
}

TEST(MessageText, BoxesShowTextThatLooksLikeMarkupAsItIs) {
  // A file name or a quoted archive line may look like markup; the operator must see it as written.
  const std::string marked = cp("Ошибка чтения <b>27612</b>.info: строка \"<font color=red>TTAA</font>\"");
  const QString expected = ToQ(marked);

  Seen error;
  {
    auto watch = Acknowledge(error);
    Guard(nullptr, [&] { throw TernError(marked); });
  }
  EXPECT_EQ(error.text, expected);
  EXPECT_EQ(error.format, Qt::PlainText);

  QString messageText;
  Qt::TextFormat messageFormat = Qt::AutoText;
  {
    ModalWatch watch([&](QWidget* w) {
      if (auto* label = w->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        messageText = label->text();
        messageFormat = label->textFormat();
      }
      w->close();
    });
    TQtOperator().Message(marked);
    EXPECT_TRUE(watch.fired);
  }
  EXPECT_EQ(messageText, expected);
  EXPECT_EQ(messageFormat, Qt::PlainText);

  TmbxMC box;
  ASSERT_TRUE(box.Prepare({QStringLiteral("Запрос"), expected, QStringLiteral("OK")}, 3, 1, 0));
  EXPECT_EQ(box.lblQuerry->textFormat(), Qt::PlainText);
  // Shown as written, the tags take room: the label is as wide as the whole text.
  EXPECT_GE(box.lblQuerry->sizeHint().width(),
            QFontMetrics(box.lblQuerry->font()).horizontalAdvance(QStringLiteral("<b>27612</b>.info:")));
}
