// The main window's send buttons on the demo station: the preview, the
// operator's messages and the clipboard as the desk shows them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "../core/app/DemoStation.h"
#include "MainWindow.h"
#include "TextBridge.h"
#include "app/AscentFamily.h"
#include "config/MyIniFile.h"
#include "review/DisplayTLG.h"

using namespace tern;

namespace {

// Answers every modal window while alive: the preview with its OK button,
// message boxes by closing them (their texts are kept).
class ModalAnswerer {
 public:
  ModalAnswerer() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      QWidget* w = QApplication::activeModalWidget();
      if (!w) return;
      if (auto* preview = qobject_cast<TdlgDisplayTLG*>(w)) {
        previews << preview->windowTitle();
        preview->btnOK->click();
      } else if (auto* box = qobject_cast<QMessageBox*>(w)) {
        messages << box->text();
        box->close();
      } else {
        others << w->metaObject()->className();
        w->close();
      }
    });
    timer_.start(5);
  }
  QStringList previews, messages, others;

 private:
  QTimer timer_;
};

struct DemoDesk {
  test::DemoStation station;
  std::unique_ptr<MainWindow> window;

  explicit DemoDesk(int textMode) {
    station.Set("ASPD.CNF", "SPOOLING", "TLG", std::to_string(textMode));
    test::WorkingFolder here(station.dir.path());
    window = std::make_unique<MainWindow>(ParamList{"-AC"}, CreateAscentObject);
    ModalAnswerer answers;
    EXPECT_TRUE(window->Create(station.settings));
    window->LoadAscent(station.ascent);
  }
};

TEST(SendPipeline, SendButtonPreviewsSavesAndStrikesTheCaption) {
  DemoDesk desk(1);
  ModalAnswerer answers;
  desk.window->sendButtons[kSendTTAA - 1]->click();
  EXPECT_EQ(answers.previews, QStringList{QStringLiteral("Телеграмма:TTAA")});
  ASSERT_EQ(answers.messages.size(), 1) << answers.others.join(',').toStdString();
  EXPECT_TRUE(answers.messages[0].startsWith(QStringLiteral("Файл A_TTAARUMS")));
  EXPECT_TRUE(desk.window->sendButtons[kSendTTAA - 1]->font().strikeOut());
  EXPECT_NE(TMyIniFile(desk.station.SentFile()).ReadString("GTS", "AA", ""), "");
}

TEST(SendPipeline, ClipboardKeepsTheCyrillicLetters) {
  DemoDesk desk(0);
  ModalAnswerer answers;
  QApplication::clipboard()->clear();
  desk.window->sendButtons[kSendLayer - 1]->click();
  EXPECT_EQ(answers.previews.size(), 1);
  EXPECT_TRUE(QApplication::clipboard()->text().contains(QStringLiteral("СЛОЙ 27612")))
      << QApplication::clipboard()->text().toStdString();
  ASSERT_FALSE(answers.messages.isEmpty());
  EXPECT_EQ(answers.messages.back(), QStringLiteral("Сообщение SLOY скопировано в буфер обмена"));
}

}  // namespace
