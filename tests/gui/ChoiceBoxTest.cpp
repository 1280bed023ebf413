#include <gtest/gtest.h>

#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "ChoiceBox.h"
#include "base/Text.h"
#include "GuiTestSupport.h"

using namespace tern;
using tern::test::ModalWatch;
using tern::test::CloseByTitleBar;
using tern::test::PressKey;

namespace {

QStringList Texts(int buttons, const QString& question = QStringLiteral("Вопрос?")) {
  QStringList t{QStringLiteral("Запрос"), question};
  for (int i = 1; i <= buttons; ++i) t << QStringLiteral("Кнопка %1").arg(i);
  return t;
}

}  // namespace

TEST(ChoiceBox, InvalidArgumentsReturnZeroWithoutShowing) {
  struct Case { int buttons; int icon; int def; int esc; };
  const Case cases[] = {{0, 3, 0, 0}, {5, 3, 0, 0}, {2, 5, 0, 0}, {2, 3, 3, 0}, {2, 3, 0, 3}, {1, -1, 0, 0}};
  for (const auto& c : cases) {
    ModalWatch watch([](QWidget* w) { w->close(); });
    EXPECT_EQ(ShowChoiceBox(nullptr, Texts(c.buttons), c.icon, c.def, c.esc), 0) << c.buttons << " " << c.icon;
    EXPECT_FALSE(watch.fired);
  }
}

TEST(ChoiceBox, ResultIsTheButtonNumberEnterEscAndClose) {
  // Each case: how the operator ends the box, and the number returned.
  struct Case { const char* what; int def; int esc; std::function<void(QWidget*)> act; int expected; };
  auto click = [](int n) { return [n](QWidget* w) { w->findChild<QPushButton*>(QStringLiteral("Btn%1").arg(n))->click(); }; };
  const Case cases[] = {
      {"third button", 1, 3, click(3), 3},
      {"first button", 0, 0, click(1), 1},
      {"Enter presses the default", 2, 0, [](QWidget* w) { PressKey(w, Qt::Key_Return); }, 2},
      {"Esc presses the Esc button", 1, 3, [](QWidget* w) { PressKey(w, Qt::Key_Escape); }, 3},
      {"close control without an Esc button counts as 2", 1, 0, [](QWidget* w) { w->close(); }, 2},
  };
  for (const auto& c : cases) {
    ModalWatch watch(c.act);
    EXPECT_EQ(ShowChoiceBox(nullptr, Texts(3), 3, c.def, c.esc), c.expected) << c.what;
  }
}

TEST(ChoiceBox, TitleBarCloseAnswersTheEscButtonExceptForReaders) {
  struct Case { const char* title; int buttons; int esc; int expected; };
  const Case cases[] = {
      {"Файл уже существует", 3, 3, 3},            // closing must not send the old file
      {"Запрос на подтверждение", 3, 3, 3},        // the preview's edit question keeps the edits
      {"Запрос на подтверждение", 2, 0, 2},        // no Esc button: the second answer
      {"Запрос", 3, 1, 1},
      {"Запрос /data/ascents/07123.info", 3, 3, 2},  // a reader's question closes as 2
      {"Запрос C:\\ASC\\A.STG", 3, 3, 2},
  };
  for (const auto& c : cases) {
    QStringList t = Texts(c.buttons);
    t[0] = QString::fromUtf8(c.title);
    ModalWatch watch([](QWidget* w) { CloseByTitleBar(w); });
    EXPECT_EQ(ShowChoiceBox(nullptr, t, 3, 1, c.esc), c.expected) << c.title;
    EXPECT_TRUE(watch.fired);
  }
}

TEST(ChoiceBox, EscWithoutEscButtonKeepsTheBoxOpen) {
  ModalWatch watch([](QWidget* w) {
    PressKey(w, Qt::Key_Escape);
    EXPECT_TRUE(w->isVisible());
    w->findChild<QPushButton*>(QStringLiteral("Btn1"))->click();
  });
  EXPECT_EQ(ShowChoiceBox(nullptr, Texts(2), 0, 0, 0), 1);
}

TEST(ChoiceBox, HeightEndsAboveTheFirstUnusedButton) {
  struct Case { int buttons; int height; };
  const Case cases[] = {{1, 70}, {2, 100}, {3, 129}, {4, 160}};
  for (const auto& c : cases) {
    TmbxMC box;
    ASSERT_TRUE(box.Prepare(Texts(c.buttons, QStringLiteral("Да?")), 3, 1, 0));
    EXPECT_EQ(box.height(), c.height) << c.buttons;
    EXPECT_EQ(box.width(), TmbxMC::kClientWidth);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(!box.Btn[i]->isHidden(), i < c.buttons);
    EXPECT_TRUE(box.Btn[0]->isDefault());
  }
}

TEST(ChoiceBox, LongCaptionWidensTheBoxAndEveryButton) {
  QStringList t = Texts(2);
  t[3] = QString(120, QLatin1Char('W'));
  TmbxMC box;
  ASSERT_TRUE(box.Prepare(t, 3, 1, 0));
  EXPECT_GT(box.width(), TmbxMC::kClientWidth);
  EXPECT_EQ(box.Btn[0]->width(), box.Btn[1]->width());
  EXPECT_GE(box.Btn[1]->width(), box.Btn[1]->fontMetrics().horizontalAdvance(t[3]));
  EXPECT_LE(box.Btn[1]->geometry().right(), box.width());
  // The question stretches to 5 pixels inside the wider box.
  EXPECT_EQ(box.lblQuerry->geometry().right() + 1, box.width() - 5);
}

TEST(ChoiceBox, LongQuestionPushesButtonsDownAndCentresTheIcon) {
  TmbxMC shortBox, longBox;
  ASSERT_TRUE(shortBox.Prepare(Texts(2, QStringLiteral("Да?")), 3, 1, 0));
  ASSERT_TRUE(longBox.Prepare(Texts(2, QStringLiteral("Строка\nещё строка\nи ещё одна\nи последняя")), 3, 1, 0));
  const int labelBottom = longBox.lblQuerry->geometry().bottom() + 1;
  EXPECT_EQ(longBox.Btn[0]->y(), labelBottom + 5);
  EXPECT_EQ(longBox.imgIcon->y(), (labelBottom - 32) / 2);
  EXPECT_EQ(longBox.height() - shortBox.height(), longBox.Btn[0]->y() - shortBox.Btn[0]->y());
  EXPECT_EQ(shortBox.imgIcon->y(), 6);
}

TEST(ChoiceBox, OperatorTurnsCarriageReturnsIntoLineBreaks) {
  Question q;
  q.title = cp("Запрос");
  q.text = cp("первая\rвторая");
  q.buttons = {cp("Оставить 21"), cp("Использовать 90")};
  q.defaultButton = 1;
  ModalWatch watch([](QWidget* w) {
    EXPECT_EQ(w->findChild<QLabel*>(QStringLiteral("lblQuerry"))->text(), QStringLiteral("первая\nвторая"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Запрос"));
    w->findChild<QPushButton*>(QStringLiteral("Btn2"))->click();
  });
  TQtOperator op;
  EXPECT_EQ(op.Ask(q), 2);
}

TEST(ChoiceBox, QuestionLinesShowWholeUpToTheScreenWidth) {
  const QString name = QStringLiteral("A_IUSD01RUMS091100CCA_C_RUMS_202612091117_27612.bin");
  const QString path = QStringLiteral("/srv/BUFR/") + name;
  TmbxMC box;
  ASSERT_TRUE(box.Prepare(Texts(3, QStringLiteral("Файл\n") + path + QStringLiteral("\nуже существует")), 3, 1, 3));
  const QFontMetrics fm(box.lblQuerry->font());
  EXPECT_GE(box.lblQuerry->width(), fm.horizontalAdvance(path));  // nothing cut at either end
  EXPECT_LE(box.lblQuerry->geometry().right() + 1, box.width() - 5);
  // The icon is whole and keeps off the left edge.
  EXPECT_GT(box.imgIcon->x(), 0);
  EXPECT_GE(box.imgIcon->width(), 32);
  EXPECT_LE(box.imgIcon->geometry().right(), box.lblQuerry->x());

  // A line longer than the screen wraps within it instead.
  TmbxMC huge;
  ASSERT_TRUE(huge.Prepare(Texts(1, QString(3000, QLatin1Char('W')) + QStringLiteral(" end")), 3, 1, 0));
  EXPECT_LE(huge.width(), QGuiApplication::primaryScreen()->availableGeometry().width());
}

TEST(ChoiceBox, OpensCentredOnTheWindowThatAsked) {
  QWidget main;
  main.setGeometry(10, 10, 300, 200);
  main.show();
  QDialog viewer(&main);
  viewer.setGeometry(250, 240, 500, 300);  // the box fits on the screen beside it
  viewer.setModal(true);
  viewer.show();
  ASSERT_TRUE(tern::test::WaitFor([&] { return QApplication::activeModalWidget() == &viewer; }));
  QPoint boxCentre, viewerCentre = viewer.frameGeometry().center();
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<TmbxMC*>(QApplication::activeModalWidget())) {
      watch.stop();
      boxCentre = box->frameGeometry().center();
      box->Btn[0]->click();
    }
  });
  watch.start(5);
  Question q;
  q.title = cp("Запрос");
  q.text = cp("Вопрос из окна проверки");
  q.buttons = {cp("Да"), cp("Нет")};
  TQtOperator op(&main);  // the desk's operator belongs to the main window
  EXPECT_EQ(op.Ask(q), 1);
  EXPECT_LE((boxCentre - viewerCentre).manhattanLength(), 4) << boxCentre.x() << "," << boxCentre.y();
}
