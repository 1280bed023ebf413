#pragma once
// The desk writes numbers with the point whatever the desktop's locale: a
// Russian desktop would otherwise show "1,10" in one box and "1.10" in the
// table beside it, and would drop a typed point altogether.
#include <QDoubleSpinBox>
#include <QLocale>

namespace tern {

// The C locale without group separators: "2,5" must never be read as 25.
QLocale PointLocale();

// A real spin box that shows the point and takes either "." or "," as the
// decimal separator, so a habit of either keyboard layout gives the same value.
class TPointSpinBox : public QDoubleSpinBox {
  Q_OBJECT
 public:
  explicit TPointSpinBox(QWidget* parent = nullptr);
  QValidator::State validate(QString& input, int& pos) const override;
  double valueFromText(const QString& text) const override;
  QString textFromValue(double value) const override;
  void fixup(QString& input) const override;
};

}  // namespace tern
