#include "bulletins/TextBulletin.h"

#include <stdexcept>

#include "bulletins/BulletinText.h"
#include "bulletins/LayerBulletin.h"

namespace tern {

namespace {

constexpr int kLayerTag = 5;
constexpr int kPrizTag = 6;

bool IsTemp(int tag) { return tag >= 1 && tag <= 4; }

}  // namespace

std::string BuildTextBulletin(int tag, TUAMessage& ascent, const std::string& bbb, const TMessageSettings& s,
                              const tTempOptions& options, IOperator& op) {
  if (IsTemp(tag)) return BuildTemp(tag, ascent, bbb, s.Temp, options, op);
  if (tag == kLayerTag) return BuildLayer(ascent, bbb, s.Layer);
  if (tag == kPrizTag) return BuildPriz(ascent, bbb, s.Priz);
  throw std::invalid_argument("BuildTextBulletin: no text message has tag " + std::to_string(tag));
}

std::string TextMailSubject(int tag, const TMessageSettings& s, TDateTime obsTime, const std::string& bbb) {
  const std::string& templ = s.MailText.SubjectFor(tag);
  if (IsTemp(tag)) return ExpandBulletinHeading(templ, obsTime, s.Temp.BBBHead, bbb, s.Temp.BBBTail);
  if (tag == kLayerTag) return ExpandBulletinHeading(templ, obsTime, s.Layer.BBBHead, bbb, s.Layer.BBBTail);
  if (tag == kPrizTag) return ExpandBulletinHeading(templ, obsTime, s.Priz.BBBHead, bbb, s.Priz.BBBTail);
  return {};
}

}  // namespace tern
