// Start-up of the desk: one desk per user, the settings folder and the log, then the main window.
#include <QDir>
#include <QMessageBox>
#include <QTimer>

#include "ChoiceBox.h"
#include "DeskApplication.h"
#include "MainWindow.h"
#include "QtTranslations.h"
#include "Screenshots.h"
#include "SingleInstance.h"
#include "TextBridge.h"
#include "app/AscentFamily.h"
#include "app/Startup.h"
#include "base/Files.h"

using namespace tern;

namespace {

std::string NewestAscent(const std::string& folder) {
  const QFileInfoList found = QDir(ToQ(folder)).entryInfoList({QStringLiteral("*.info")}, QDir::Files, QDir::Time);
  return found.isEmpty() ? std::string() : FromQ(found.front().absoluteFilePath());
}

}  // namespace

int main(int argc, char** argv) {
  TDeskApplication app(argc, argv);
  LoadQtTranslations(app);  // Qt's own dialogs in Russian too
  ParamList params;
  for (int i = 1; i < argc; ++i) params.push_back(FromQ(QString::fromLocal8Bit(argv[i])));

  // A second start only brings the running desk to the front, touching no file.
  TSingleInstance instance;
  if (instance.ActivateRunning()) return 0;

  std::string settingsFolder;
  const std::string c = FindSwitchValue(params, "C");
  if (!c.empty()) {
    if (FolderExists(c)) {
      settingsFolder = IncludeTrailingSeparator(AbsolutePath(c));
    } else {
      QMessageBox box(QMessageBox::Question, QStringLiteral("Продолжить работу?"),
                      QStringLiteral("Не найдена папка для файлов настроек\n") + ToQ(c),
                      QMessageBox::Yes | QMessageBox::No);
      box.setTextFormat(Qt::PlainText);  // the folder is shown as typed, never as markup
      box.setDefaultButton(QMessageBox::No);
      if (box.exec() != QMessageBox::Yes) return 0;
    }
  }
  const std::string log = FindSwitchValue(params, "L");
  if (!log.empty() && !OpenLog(log)) TQtOperator().Message(cp("Ошибка создания лог-файла"));

  const std::string shots = FindSwitchValue(params, "-screenshot");
  QTimer dismiss;
  if (!shots.empty()) {
    // Nobody is there to answer while the pictures are taken: every box is closed as it appears.
    QObject::connect(&dismiss, &QTimer::timeout, [] {
      if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
    dismiss.start(50);
  }

  if (!instance.Listen()) {
    // Without the socket a second start would not find this desk: the operator has to know.
    WriteLog(instance.ListenError());
    TQtOperator().Message(instance.ListenError());
  }
  MainWindow window(params, CreateAscentObject);
  QObject::connect(&instance, &TSingleInstance::activationRequested, &window, &MainWindow::BringToFront);
  if (!window.Create(settingsFolder)) return 1;

  if (!shots.empty()) {
    // The picture shows an ascent: the one given with --ascent, else the newest in the open dialog's folder.
    std::string ascent = FindSwitchValue(params, "-ascent");
    if (ascent.empty() && !window.Desk().Panel.Loaded) ascent = NewestAscent(window.Desk().InitialDir);
    if (!ascent.empty()) window.LoadAscent(ascent);
    return SaveScreenshots(window, ToQ(shots)) ? 0 : 1;
  }

  WriteLog("Run");
  window.show();
  return app.exec();
}
