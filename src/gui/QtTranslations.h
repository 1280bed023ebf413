#pragma once
// Qt's own windows (the open dialog, Yes/No questions) speak the desk's language.
#include <QString>

class QObject;

namespace tern {

// The folder of Qt's translation catalogues (the qt6-translations-l10n package).
QString QtTranslationsFolder();
// Installs Qt's Russian catalogues into the application, owned by owner (they
// leave with it); false when they are missing.
bool LoadQtTranslations(QObject& owner);

}  // namespace tern
