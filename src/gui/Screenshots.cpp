#include "Screenshots.h"

#include <QDir>
#include <QPixmap>

#include "ChoiceBox.h"
#include "MainWindow.h"

namespace tern {

bool SaveScreenshots(MainWindow& window, const QString& folder) {
  QDir().mkpath(folder);
  const QDir dir(folder);
  window.resize(window.sizeHint().expandedTo(QSize(720, 520)));
  window.ShowPanel();
  bool ok = window.grab().save(dir.filePath(QStringLiteral("main.png")));

  const QStringList three{QStringLiteral("Файл уже существует"),
                          QStringLiteral("Бюллетень TTAA за этот срок уже сохранён"),
                          QStringLiteral("Создать новый"), QStringLiteral("Использовать существующий"),
                          QStringLiteral("Отменить отправку TTAA")};
  const QStringList four{QStringLiteral("Запрос"),
                         QStringLiteral("Информация о поправках по азимуту и углу места могла устареть\n"
                                        "CorrAz=0.50,OrientCorrEl=-0.25"),
                         QStringLiteral("Данные о поправках актуальны"),
                         QStringLiteral("Поправки будут уточнены к следующему разу"),
                         QStringLiteral("Напомнить позже"), QStringLiteral("Отменить")};
  const std::pair<const QStringList*, const char*> boxes[] = {{&three, "choice3.png"}, {&four, "choice4.png"}};
  for (const auto& [texts, name] : boxes) {
    TmbxMC box(&window);
    ok = box.Prepare(*texts, 3, 1, 0) && box.grab().save(dir.filePath(QString::fromLatin1(name))) && ok;
  }
  return ok;
}

}  // namespace tern
