#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tern {

QString QtTranslationsFolder() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }

bool LoadQtTranslations(QObject& owner) {
  // The desk is Russian whatever the desktop's language, so are Qt's dialogs inside it.
  bool loaded = false;
  for (const char* catalogue : {"qtbase"}) {
    auto* t = new QTranslator(&owner);
    if (t->load(QLocale(QLocale::Russian, QLocale::Russia), QString::fromLatin1(catalogue), QStringLiteral("_"),
                QtTranslationsFolder())) {
      QCoreApplication::installTranslator(t);
      loaded = true;
    } else {
      delete t;
    }
  }
  return loaded;
}

}  // namespace tern
