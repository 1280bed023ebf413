// The telegram preview with the offscreen platform: edit, restore and the
// edit question, the read-only form, and a printout to a PDF file.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPaintEngine>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextCursor>
#include <QtTest/QTest>

#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "TextBridge.h"
#include "base/Text.h"
#include "review/DisplayTLG.h"

using namespace tern;
using tern::test::ModalWatch;

namespace {

const std::string kText = "USRS01 RUMS 051200\r\r\nTTAA 55121 12345\nNNNN";

void Type(TdlgDisplayTLG& d, const QString& s) {
  QTextCursor c = d.memTLG->textCursor();
  c.movePosition(QTextCursor::End);
  d.memTLG->setTextCursor(c);
  d.memTLG->insertPlainText(s);
}

TEST(DisplayTLG, ReadOnlyPreviewSendsTheTextAsBuilt) {
  std::string text = kText;
  ModalWatch watch([](QWidget* w) {
    auto* d = qobject_cast<TdlgDisplayTLG*>(w);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Телеграмма:TTAA"));
    EXPECT_EQ(d->btnOK->text(), QStringLiteral("Отправить"));
    EXPECT_FALSE(d->btnRestore->isEnabled());
    EXPECT_TRUE(d->memTLG->isReadOnly());
    EXPECT_EQ(d->memTLG->toPlainText(), QStringLiteral("USRS01 RUMS 051200\nTTAA 55121 12345\nNNNN"));
    EXPECT_EQ(d->memTLG->font().pointSize(), 8);
    d->btnOK->click();
  });
  EXPECT_TRUE(ShowTelegram(nullptr, text, cp("Телеграмма:TTAA"), true, cp("Отправить")));
  EXPECT_TRUE(watch.fired);
  // The heading keeps its line end; the lone LF becomes CR LF.
  EXPECT_EQ(text, "USRS01 RUMS 051200\r\r\nTTAA 55121 12345\r\nNNNN");
}

TEST(DisplayTLG, DefaultsStayForEmptyCaptions) {
  TdlgDisplayTLG d;
  d.Prepare("X", "", false, "");
  EXPECT_EQ(d.windowTitle(), QStringLiteral("Телеграмма"));
  EXPECT_EQ(d.btnOK->text(), QStringLiteral("OK"));
  EXPECT_TRUE(d.btnRestore->isEnabled());
  EXPECT_FALSE(d.memTLG->isReadOnly());
}

TEST(DisplayTLG, UneditedOkClosesWithoutQuestion) {
  ScriptedOperator op;
  TdlgDisplayTLG d(nullptr, &op);
  d.Prepare(kText, cp("Телеграмма:TTBB"), false, "");
  d.btnOK->click();
  EXPECT_EQ(d.result(), 1);
  EXPECT_TRUE(op.asked.empty());
  EXPECT_EQ(d.Result(), "USRS01 RUMS 051200\r\r\nTTAA 55121 12345\r\nNNNN");
}

TEST(DisplayTLG, EditedOkAnsweredRestoreBringsTheTextBackAndStaysOpen) {
  ScriptedOperator op({2});
  TdlgDisplayTLG d(nullptr, &op);
  d.Prepare(kText, cp("Телеграмма:TTAA"), false, "");
  Type(d, QStringLiteral(" 11111"));
  d.btnOK->click();
  ASSERT_EQ(op.asked.size(), 1u);
  EXPECT_EQ(op.asked[0].text, cp("Телеграмма:TTAA-данные подверглись правке!"));
  EXPECT_EQ(d.result(), 0);
  EXPECT_EQ(d.memTLG->toPlainText(), QStringLiteral("USRS01 RUMS 051200\nTTAA 55121 12345\nNNNN"));
  d.btnOK->click();  // nothing edited any more: no second question
  EXPECT_EQ(op.asked.size(), 1u);
  EXPECT_EQ(d.result(), 1);
}

TEST(DisplayTLG, EditedOkAnsweredBackKeepsTheEditsAndAsksAgain) {
  ScriptedOperator op({3, 1});
  TdlgDisplayTLG d(nullptr, &op);
  d.Prepare(kText, cp("Телеграмма:TTAA"), false, "");
  Type(d, QStringLiteral("\nСЛОЙ"));
  d.btnOK->click();
  EXPECT_EQ(d.result(), 0);
  EXPECT_TRUE(d.memTLG->toPlainText().endsWith(QStringLiteral("NNNN\nСЛОЙ")));
  d.btnOK->click();
  EXPECT_EQ(op.asked.size(), 2u);
  EXPECT_EQ(d.result(), 1);
  EXPECT_EQ(d.Result(), "USRS01 RUMS 051200\r\nTTAA 55121 12345\r\nNNNN\r\n" + cp("СЛОЙ"));
}

TEST(DisplayTLG, CancelAfterEditsLeavesTheCallersText) {
  std::string text = kText;
  ModalWatch watch([](QWidget* w) {
    auto* d = qobject_cast<TdlgDisplayTLG*>(w);
    ASSERT_NE(d, nullptr);
    Type(*d, QStringLiteral("XYZ"));
    d->btnCancel->click();
  });
  EXPECT_FALSE(ShowTelegram(nullptr, text, "", false, ""));
  EXPECT_TRUE(watch.fired);
  EXPECT_EQ(text, kText);
}

TEST(DisplayTLG, PrintoutIsIndentedBelowFourEmptyLines) {
  tern::test::TempDir dir;
  const QString pdf = QString::fromStdString(dir / "tlg.pdf");
  TdlgDisplayTLG d;
  d.Prepare("TTAA 55121\r\nTTBB 5512/\r\nNNNN", "", true, "");
  d.Printer().setOutputFormat(QPrinter::PdfFormat);
  d.Printer().setOutputFileName(pdf);
  d.Printer().setPageMargins(QMarginsF(0, 0, 0, 0));
  ASSERT_TRUE(d.btnPrintClick());

  // Word boxes of the printout: where each word sits on the page, in points.
  QProcess p;
  p.start("pdftotext", {"-bbox", pdf, "-"});
  ASSERT_TRUE(p.waitForFinished(20000));
  const QString html = QString::fromUtf8(p.readAllStandardOutput());
  struct Box { double xMin, yMin, xMax; };
  QList<Box> words;
  QStringList texts;
  const QRegularExpression re(QStringLiteral(
      "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"[0-9.]+\">([^<]*)</word>"));
  for (auto it = re.globalMatch(html); it.hasNext();) {
    const auto m = it.next();
    words.push_back({m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble()});
    texts << m.captured(4);
  }
  ASSERT_EQ(texts, (QStringList{"TTAA", "55121", "TTBB", "5512/", "NNNN"})) << html.toStdString();
  const double charWidth = (words[0].xMax - words[0].xMin) / 4;
  const double lineHeight = words[2].yMin - words[0].yMin;
  ASSERT_GT(charWidth, 0);
  ASSERT_GT(lineHeight, 0);
  // Every line starts 16 characters in; the first one below four empty lines.
  for (int i : {0, 2, 4}) EXPECT_NEAR(words[i].xMin / charWidth, 16, 0.5) << i;
  EXPECT_NEAR(words[4].yMin - words[2].yMin, lineHeight, 0.5);
  EXPECT_NEAR(words[0].yMin / lineHeight, 4, 0.5);
}

}  // namespace

TEST(DisplayTLG, AWholeTempLineShowsWithoutScrolling) {
  // Sixty-four characters: twelve groups of a TEMP part and their blanks.
  const std::string line = "TTAA 59121 27612 99005 10658 27015 00134 09857 27516 92812 12345";
  TdlgDisplayTLG d(nullptr);
  d.Prepare("USMS01 RUMS 091100\r\n" + line + "\r\nNNNN", "", true, "");
  d.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
  QApplication::processEvents();
  EXPECT_EQ(d.memTLG->horizontalScrollBar()->maximum(), 0) << d.width();
}

namespace {

void ShowActive(QWidget& w) {
  w.show();
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
}

}  // namespace

TEST(DisplayTLG, TabInTheEditableTelegramMovesTheFocus) {
  ScriptedOperator op;
  TdlgDisplayTLG d(nullptr, &op);
  d.Prepare(kText, "", false, "");
  ShowActive(d);
  d.memTLG->setFocus();
  QTest::keyClick(d.memTLG, Qt::Key_End);
  QTest::keyClick(d.memTLG, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), d.cbxPrintSetup);
  EXPECT_FALSE(d.memTLG->toPlainText().contains(QLatin1Char('\t')));
  EXPECT_FALSE(d.memTLG->document()->isModified());
}

// A printer that takes the job and then fails to finish it, as a printer
// running out of paper or losing its connection does.
class FailingEngine : public QPaintEngine {
 public:
  bool begin(QPaintDevice*) override { return true; }
  bool end() override { return false; }
  void updateState(const QPaintEngineState&) override {}
  void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
  void drawTextItem(const QPointF&, const QTextItem&) override {}
  Type type() const override { return User; }
};

class FailingPrinter : public QPrinter {
 public:
  QPaintEngine* paintEngine() const override { return &engine_; }

 private:
  mutable FailingEngine engine_;
};

TEST(DisplayTLG, PrintFailuresAreReportedAndLeaveTheDialogOpen) {
  tern::test::TempDir dir;
  // Each case: a printer that cannot start (its output folder does not
  // exist), and one that fails while the job is written out.
  struct Case { const char* what; std::function<std::unique_ptr<QPrinter>()> printer; };
  const QString noFolder = QString::fromStdString(dir / "missing/tlg.pdf");
  const Case cases[] = {
      {"no printer", [&] {
         auto p = std::make_unique<QPrinter>();
         p->setOutputFormat(QPrinter::PdfFormat);
         p->setOutputFileName(noFolder);
         return p;
       }},
      {"output failure", [] {
         std::unique_ptr<QPrinter> p = std::make_unique<FailingPrinter>();
         return p;
       }},
  };
  for (const auto& c : cases) {
    ScriptedOperator op;
    TdlgDisplayTLG d(nullptr, &op);
    d.Prepare(kText, "", false, "");
    d.SetPrinter(c.printer());
    ShowActive(d);
    QTest::mouseClick(d.btnPrint, Qt::LeftButton);
    ASSERT_EQ(op.messages.size(), 1u) << c.what;
    EXPECT_EQ(Cp1251ToUtf8(op.messages[0]), "Ошибка ввода/вывода при печати") << c.what;
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.memTLG->toPlainText(), QStringLiteral("USRS01 RUMS 051200\nTTAA 55121 12345\nNNNN"));
  }
}

TEST(DisplayTLG, ClosingTheEditQuestionGoesBackToTheEdits) {
  // The desk's own question box: closed by its title bar it answers "Вернуться к просмотру".
  TdlgDisplayTLG d;
  d.Prepare(kText, cp("Телеграмма:TTAA"), false, cp("Отправить"));
  ShowActive(d);
  d.memTLG->setFocus();
  QTest::keyClick(d.memTLG, Qt::Key_End, Qt::ControlModifier);
  QTest::keyClicks(d.memTLG, QStringLiteral(" 22222"));
  QString question;
  ModalWatch watch([&](QWidget* box) {
    question = box->windowTitle();
    tern::test::CloseByTitleBar(box);
  });
  QTest::mouseClick(d.btnOK, Qt::LeftButton);
  EXPECT_TRUE(watch.fired);
  EXPECT_EQ(question, QStringLiteral("Запрос на подтверждение"));
  EXPECT_TRUE(d.isVisible());
  EXPECT_TRUE(d.memTLG->toPlainText().endsWith(QStringLiteral("NNNN 22222")));
}
