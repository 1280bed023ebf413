#include "PointNumbers.h"

namespace tern {
namespace {

QString WithPoint(QString text) {
  text.replace(QLatin1Char(','), QLatin1Char('.'));
  return text;
}

}  // namespace

QLocale PointLocale() {
  QLocale c = QLocale::c();
  c.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
  return c;
}

TPointSpinBox::TPointSpinBox(QWidget* parent) : QDoubleSpinBox(parent) { setLocale(PointLocale()); }

QValidator::State TPointSpinBox::validate(QString& input, int& pos) const {
  input = WithPoint(input);
  return QDoubleSpinBox::validate(input, pos);
}

double TPointSpinBox::valueFromText(const QString& text) const { return QDoubleSpinBox::valueFromText(WithPoint(text)); }

QString TPointSpinBox::textFromValue(double value) const { return PointLocale().toString(value, 'f', decimals()); }

void TPointSpinBox::fixup(QString& input) const {
  input = WithPoint(input);
  QDoubleSpinBox::fixup(input);
}

}  // namespace tern
