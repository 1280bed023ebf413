#include "bufr/BufrMessage.h"

#include "base/DateTime.h"
#include "base/Error.h"
#include "base/Text.h"
#include "bufr/BitWriter.h"
#include "bufr/RadiosondeSection.h"
#include "sounding/UAMessage.h"

namespace tern {

BufrLengths ComputeBufrLengths(const BufrContext& c) {
  BufrLengths l;
  l.dataBits = DataBitCount(c);
  l.section3 = 7 + 2 * DescriptorCount(c);
  l.section4 = 4 + (l.dataBits + 7) / 8;
  return l;
}

namespace {

void WriteSection1(TBitWriter& w, const TUAMessage& a, const BufrLengths& l) {
  const DateParts obs = DecodeDateTime(a.ObsTime);
  w.PutBits(static_cast<uint32_t>(l.section1), 24);
  w.PutBits(0, 8);  // master table: meteorology
  w.PutBits(static_cast<uint16_t>(a.Center), 16);
  w.PutBits(static_cast<uint16_t>(a.SubCenter), 16);
  w.PutBits(a.UpdateSeq, 8);
  w.PutBits(0, 8);    // no optional section
  w.PutBits(2, 8);    // vertical soundings other than satellite
  w.PutBits(4, 8);    // upper-air temperature, humidity and wind from fixed land stations
  w.PutBits(255, 8);  // no local sub-category
  w.PutBits(a.TablesVer, 8);
  w.PutBits(a.LocTablesVer, 8);
  w.PutBits(static_cast<uint32_t>(obs.year), 16);
  w.PutBits(static_cast<uint32_t>(obs.month), 8);
  w.PutBits(static_cast<uint32_t>(obs.day), 8);
  w.PutBits(static_cast<uint32_t>(obs.hour), 8);
  w.PutBits(static_cast<uint32_t>(obs.minute), 8);
  w.PutBits(static_cast<uint32_t>(obs.second), 8);
  w.PutBits(0xA5, 8);
}

}  // namespace

std::string BuildBufrMessage(TUAMessage& a, size_t dataLimit) {
  a.PrepareLevels();
  a.CheckCloudGroup();
  const DateParts launch = DecodeDateTime(a.LaunchTime);
  a.LaunchYear = static_cast<uint16_t>(launch.year);
  a.LaunchMonth = static_cast<uint16_t>(launch.month);
  a.LaunchDay = static_cast<uint16_t>(launch.day);
  a.LaunchHour = static_cast<uint16_t>(launch.hour);
  a.LaunchMinute = static_cast<uint16_t>(launch.minute);
  a.LaunchSecond = static_cast<uint16_t>(launch.second);

  const BufrContext c = MakeBufrContext(a);
  const BufrLengths l = ComputeBufrLengths(c);
  if (l.section4 - 4 > dataLimit) throw TernError(cp("Превышен предел размера сообщения BUFR!"));
  if (a.UpdateSeq > 255)
    throw TernError(cp("Ошибка диапазона: номер обновления BUFR ") + std::to_string(a.UpdateSeq) +
                    cp(" больше 255"));

  const size_t total = l.Total();
  TBitWriter w(total);
  w.PutOctets("BUFR", 4);
  w.PutBits(static_cast<uint32_t>(total), 24);
  w.PutBits(4, 8);  // edition

  WriteSection1(w, a, l);

  w.PutBits(static_cast<uint32_t>(l.section3), 24);
  w.PutBits(0, 8);
  w.PutBits(1, 16);    // one subset
  w.PutBits(128, 8);   // observed data, not compressed
  WriteDescriptors(w, c);

  w.PutBits(static_cast<uint32_t>(l.section4), 24);
  w.PutBits(0, 8);
  const size_t dataStart = w.BitCount();
  WriteData(w, c);
  // The lengths above were promised before writing; a mismatch would corrupt the frame.
  if (w.BitCount() - dataStart != l.dataBits)
    throw TernError(cp("Внутренняя ошибка: длина данных BUFR не совпадает с расчётной"));
  w.PadToOctet();

  w.PutOctets("7777", 4);
  if (w.OctetCount() != total) throw TernError(cp("Внутренняя ошибка: длина сообщения BUFR не совпадает с расчётной"));
  return w.Take();
}

}  // namespace tern
