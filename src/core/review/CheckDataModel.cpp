#include "review/CheckDataModel.h"

#include "base/Files.h"
#include "base/Text.h"
#include "sounding/UAMessage.h"

namespace tern {

RejectMode ModeForKeys(bool shift, bool ctrl, RejectMode boxMode) {
  if (shift && ctrl) return RejectMode::Toggle;
  if (shift) return RejectMode::Reject;
  if (ctrl) return RejectMode::Accept;
  return boxMode;
}

std::string ModeSign(RejectMode mode) {
  switch (mode) {
    case RejectMode::Reject: return "-";
    case RejectMode::Accept: return "+";
    case RejectMode::Toggle: break;
  }
  return "\xB1";  // cp1251 plus-minus
}

namespace {

uint8_t BitsOfTag(int tag) {
  static const uint8_t bits[] = {0, kRejLevel, kRejTemp, kRejHum, kRejHeight, kRejWind, kRejPos};
  return tag >= 1 && tag <= 6 ? bits[tag] : 0;
}

// Bits of quantities the level does not have cannot be rejected.
uint8_t DropMissing(const tUALevel& l, uint8_t bits) {
  if (!Present(l.Temp)) bits &= ~kRejTemp;
  if (!Present(l.DewPoint)) bits &= ~kRejHum;
  if (!Present(l.Height)) bits &= ~kRejHeight;
  if (!Present(l.WindDir) || !Present(l.WindSpeed)) bits &= ~kRejWind;
  if (!Present(l.LatDisp) || !Present(l.LonDisp)) bits &= ~kRejPos;
  return bits;
}

bool NonEmpty(const std::string& path) { return FileSizeOf(path) > 0; }

}  // namespace

CheckDataModel::CheckDataModel(TUAMessage& ascent, bool readOnly) : ascent_(ascent), readOnly_(readOnly) {
  LoadMasks();
}

void CheckDataModel::LoadMasks() {
  ForgetSuspects();
  masks_.assign(ascent_.LevelCount, 0);
  goodCount_ = 0;
  for (int i = 0; i < ascent_.LevelCount; ++i) {
    masks_[i] = ascent_.Levels[i].RejFlags;
    if (masks_[i] != kRejLevel) ++goodCount_;
  }
}

bool CheckDataModel::Open(IOperator& op) {
  const std::string fileI = ChangeFileExt(ascent_.SourceFile, ".rjI");
  const std::string fileII = ChangeFileExt(ascent_.SourceFile, ".rjII");
  const bool hasI = NonEmpty(fileI), hasII = NonEmpty(fileII);
  const std::string cr = "\r";
  const std::string ask = cr + ascent_.SourceName + cr + cp("Загрузить?");
  Question q;
  q.title = cp("Запрос");
  q.icon = BoxIcon::Question;
  q.defaultButton = 1;
  q.escButton = 3;
  std::string load;  // the file to load, empty for none
  if (hasI || hasII) {
    int answer = 0;
    if (hasI && hasII) {
      q.text = cp("Обнаружены результаты правки данных выпуска: до 100 гПа и всего выпуска") + ask;
      q.buttons = {cp("Загрузить результаты правки всего выпуска"), cp("Загрузить результаты правки до 100 гПа"),
                   cp("Игнорировать сохраненные правки"), cp("Отказаться от правки и отменить отправку BUFR")};
      answer = op.Ask(q);
      if (answer == 4) return false;
      if (answer == 1) load = fileII;
      if (answer == 2) load = fileI;
    } else {
      q.text = hasII ? cp("Обнаружены результаты правки данных всего выпуска") + ask
                     : cp("Обнаружены результаты правки данных выпуска до 100 гПа") + ask;
      q.buttons = {cp("Загрузить результаты правки"), cp("Игнорировать сохраненные правки"),
                   hasII ? cp("Отказаться от правки и отменить отправку BUFRы")
                         : cp("Отказаться от правки и отменить отправку BUFR")};
      answer = op.Ask(q);
      if (answer == 3) return false;
      if (answer == 1) load = hasII ? fileII : fileI;
    }
  }
  if (!load.empty() && !ascent_.LoadEdits(load))
    op.Message(load == fileII ? cp("Ошибка загрузки файла rjII") : cp("Ошибка загрузки файла rjI"));
  modified_ = false;
  LoadMasks();
  return true;
}

bool CheckDataModel::Apply(int tag, RejectMode mode, int first, int last, IOperator& op) {
  ForgetSuspects();
  if (readOnly_) return false;
  modified_ = true;
  const uint8_t bits = BitsOfTag(tag);
  first = std::max(first, 0);
  last = std::min(last, static_cast<int>(masks_.size()) - 1);
  for (int i = first; i <= last; ++i) {
    const tUALevel& l = ascent_.Levels[i];
    const uint8_t before = masks_[i];
    uint8_t m = before;
    if (l.SigFlags & kSigSurface) {
      m = 0;  // the surface level always goes into BUFR
    } else {
      const uint8_t b = DropMissing(l, bits);
      switch (mode) {
        case RejectMode::Reject: m |= b; break;
        case RejectMode::Accept: m &= ~b; break;
        case RejectMode::Toggle: m = (m & b) != b ? (m | b) : (m & ~b); break;
      }
      // No dew point without its temperature (a missing dew point stays unmarked).
      if ((m & kRejTemp) && Present(l.DewPoint)) m |= kRejHum;
    }
    masks_[i] = m;
    if (before == kRejLevel && m != kRejLevel) ++goodCount_;
    if (before != kRejLevel && m == kRejLevel) {
      if (goodCount_ == 0)
        op.Message(cp("Внутренняя ошибка, просьба сообщить в ЛУЧ!?"));
      else
        --goodCount_;
    }
  }
  return true;
}

void CheckDataModel::Commit() {
  ascent_.SetRejections(&masks_, nullptr);
  ascent_.SaveEdits();
  modified_ = false;
}

bool CheckDataModel::Confirm(IOperator& op) {
  Question q;
  q.title = cp("Запрос");
  q.icon = BoxIcon::Information;
  q.defaultButton = 2;
  const std::string cr = "\r";
  if (modified_) {
    q.text = cp("Данные подвергались правке!") + cr + ascent_.SourceName + cr + cp("Подтвердите продолжение");
    q.buttons = {cp("Отправить с изменениями"), cp("Отмена")};
  } else {
    q.text = cp("Правка не производилась!") + cr + ascent_.SourceName + cr + cp("Подтвердите продолжение ");
    q.buttons = {cp("Правка не потребовалась - отправить"), cp("Вернуться к правке")};
  }
  if (op.Ask(q) == 2) return false;
  Commit();
  return true;
}

bool CheckDataModel::MayClose(IOperator& op) {
  if (!modified_) return true;
  Question q;
  q.title = cp("Предупреждение");
  q.icon = BoxIcon::Error;
  q.defaultButton = 1;
  q.escButton = 0;
  const std::string cr = "\r";
  q.text = cp("Результаты правки данных выпуска") + cr + ascent_.SourceName + cr + cp("будут потеряны!");
  q.buttons = {cp("Вернуться к правке?"), cp("Сохранить результаты правки и отменить отправку BUFR?"),
               cp("Отказаться от правки и отменить отправку BUFR?")};
  const int answer = op.Ask(q);
  if (answer == 1) return false;
  if (answer == 2 && !readOnly_) Commit();
  return true;
}

std::string CheckDataModel::Caption() const {
  return cp("Проверка данных:") + ascent_.SourceName + (modified_ ? "*" : "");
}

const std::vector<QcFinding>& CheckDataModel::Suspects() const {
  if (suspectsKnown_) return suspects_;
  const int count = static_cast<int>(masks_.size());
  suspects_ = FindSuspects(ascent_.Levels.data(), count, masks_.data());
  suspectBits_.assign(masks_.size(), 0);
  for (const QcFinding& f : suspects_)
    for (int k = f.level; k <= f.lastLevel && k < count; ++k) suspectBits_[k] |= f.quantities;
  suspectsKnown_ = true;
  return suspects_;
}

std::vector<ColumnSpan> CheckDataModel::SuspectSpans(int i) const {
  Suspects();
  std::vector<ColumnSpan> spans;
  if (i < 0 || i >= static_cast<int>(suspectBits_.size()) || suspectBits_[i] == 0) return spans;
  const uint8_t bits = suspectBits_[i];
  constexpr ColumnSpan kColP{5, 11};
  if (bits == kRejLevel) return {kColP};  // the order of the levels: their pressure
  const std::pair<uint8_t, ColumnSpan> columns[] = {
      {kRejTemp, kColT}, {kRejHum, kColTd}, {kRejHeight, kColH}, {kRejWind, kColWind}, {kRejPos, kColPos}};
  for (const auto& [bit, span] : columns)
    if (bits & bit) spans.push_back(span);
  return spans;
}

std::string CheckDataModel::SuspectText(int i) const {
  std::string text;
  for (const QcFinding& f : Suspects())
    if (i >= f.level && i <= f.lastLevel) text += (text.empty() ? "" : "\n") + QcReason(f);
  return text;
}

int CheckDataModel::NextSuspect(int after) const {
  const auto& found = Suspects();
  if (found.empty()) return -1;
  for (const QcFinding& f : found)
    if (f.level > after) return f.level;
  return found.front().level;
}

std::string CheckDataModel::Line(int i) const { return ProfileLine(ascent_.Levels[i], masks_[i]); }

char CheckDataModel::Marker(int i) const { return LevelMarker(ascent_.Levels[i], masks_[i]); }

std::vector<ColumnSpan> CheckDataModel::StrikeSpans(int i) const {
  const uint8_t m = masks_[i];
  if (m == 0) return {};
  if (Marker(i) == 'x') return {kColLine};
  const tUALevel& l = ascent_.Levels[i];
  std::vector<ColumnSpan> spans;
  if ((m & kRejTemp) && Present(l.Temp)) spans.push_back({kColT.first, kColTd.last});
  else if ((m & kRejHum) && Present(l.DewPoint)) spans.push_back(kColTd);
  if ((m & kRejHeight) && Present(l.Height)) spans.push_back(kColH);
  if ((m & kRejWind) && (Present(l.WindDir) || Present(l.WindSpeed))) spans.push_back(kColWind);
  if ((m & kRejPos) && (Present(l.LatDisp) || Present(l.LonDisp))) spans.push_back(kColPos);
  return spans;
}

bool CheckDataModel::HasPositions() const {
  for (int i = 0; i < ascent_.LevelCount; ++i)
    if (Present(ascent_.Levels[i].LatDisp) && Present(ascent_.Levels[i].LonDisp)) return true;
  return false;
}

}  // namespace tern
