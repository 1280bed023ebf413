#include "Screenshots.h"

#include <QBuffer>
#include <QDir>
#include <QPixmap>

#include "ChoiceBox.h"
#include "MainWindow.h"
#include "TextBridge.h"
#include "base/Error.h"
#include "base/Files.h"

namespace tern {
namespace {

// Pictures go through the desk's own writer like every other file it writes.
bool SavePng(const QPixmap& picture, const QString& path) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG")) return false;
  try {
    WriteFileAtomic(FromQ(path), std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
  } catch (const TernError&) {
    return false;
  }
  return true;
}

}  // namespace

bool SaveScreenshots(MainWindow& window, const QString& folder) {
  QDir().mkpath(folder);
  const QDir dir(folder);
  window.resize(window.sizeHint().expandedTo(QSize(720, 520)));
  window.ShowPanel();
  bool ok = SavePng(window.grab(), dir.filePath(QStringLiteral("main.png")));

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
    ok = box.Prepare(*texts, 3, 1, 0) && SavePng(box.grab(), dir.filePath(QString::fromLatin1(name))) && ok;
  }
  return ok;
}

}  // namespace tern
