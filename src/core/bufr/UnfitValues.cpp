#include "bufr/UnfitValues.h"

#include "base/Operator.h"
#include "base/Text.h"
#include "sounding/UAMessage.h"

namespace tern {
namespace {

// More lines would not fit on the screen; the rest are counted.
constexpr size_t kShownLines = 15;

std::string Number(double v, int decimals) { return FixedText(v, 0, decimals); }

std::string WithUnit(const std::string& number, const std::string& unit) {
  return unit.empty() ? number : number + " " + unit;
}

std::string PlaceOf(const tUnfitValue& u) {
  if (u.level < 0) return {};
  return (u.shear ? cp(", запись сдвига ветра ") : cp(", уровень ")) + std::to_string(u.level + 1);
}

}  // namespace

UnfitValues FindUnfitValues(TUAMessage& a) {
  a.PrepareLevels();
  return FindUnfitValues(MakeBufrContext(a));
}

bool CodedMissingForUnfit(const UnfitValues& unfit, Descriptor descriptor, int level, bool shear) {
  for (const tUnfitValue& u : unfit)
    if (u.descriptor == descriptor && u.level == level && u.shear == shear) return true;
  return false;
}

std::string UnfitValuesText(const UnfitValues& unfit) {
  std::string text;
  for (size_t i = 0; i < unfit.size() && i < kShownLines; ++i) {
    const tUnfitValue& u = unfit[i];
    if (!text.empty()) text += '\r';
    text += u.element + PlaceOf(u) + ": " + WithUnit(Number(u.value, u.decimals), u.unit) + cp(" (пределы ") +
            WithUnit(Number(u.lowest, u.decimals) + ".." + Number(u.highest, u.decimals), u.unit) + ")";
  }
  if (unfit.size() > kShownLines) text += cp("\rи ещё ") + std::to_string(unfit.size() - kShownLines);
  return text;
}

bool ConfirmUnfitValues(TUAMessage& a, IOperator& op) {
  const UnfitValues unfit = FindUnfitValues(a);
  if (unfit.empty()) return true;
  Question q;
  q.title = cp("Значения не помещаются в BUFR");
  q.text = cp("Сообщение BUFR не может передать эти значения:\r") + UnfitValuesText(unfit) +
           cp("\rПередать их как отсутствующие?");
  q.buttons = {cp("Передать как отсутствующие"), cp("Отменить отправку BUFR")};
  q.icon = BoxIcon::Warning;
  q.defaultButton = 2;
  q.escButton = 2;
  return op.Ask(q) == 1;
}

}  // namespace tern
