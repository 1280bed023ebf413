#pragma once
// Pictures of the desk for people (README): the main window as it stands and
// the question box with three and four buttons.
#include <QString>

namespace tern {
class MainWindow;
// Writes main.png, choice3.png and choice4.png into folder; false when one could not be written.
bool SaveScreenshots(MainWindow& window, const QString& folder);
}  // namespace tern
