#include "FuzzAscents.h"

#include <cmath>
#include <cstdio>

#include "FuzzSupport.h"
#include "base/Files.h"
#include "sounding/Records.h"
#include "sounding/kiosk/LittleEndian.h"

namespace tern::fuzz {

using tern::kiosk::PutLeF32;
using tern::kiosk::PutLeU16;
using tern::kiosk::PutLeU32;

namespace {

// Codes 5..7 name their ascents "yyyymmdd-hhnn", the others "d.m.yyyy-h.n".
std::string CorvoBase(uint8_t code) {
  return ScratchFolder() + (code >= 5 ? "20200305-2305" : "5.3.2020-23.5");
}

void WriteFile(const std::string& path, std::string_view content) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  if (!content.empty()) std::fwrite(content.data(), 1, content.size(), f);
  std::fclose(f);
}

}  // namespace

std::unique_ptr<TUACorvoMessage> OpenCorvo(uint8_t code, IOperator& op) {
  auto a = std::make_unique<TUACorvoMessage>();
  a->SystemCode = code;
  a->StationInd = kStation;
  a->StationIndText = std::to_string(kStation);
  a->StationLat = 55.75;
  a->StationLon = 37.62;
  a->StationBarometerHeight = 147;
  a->SetOperator(&op);
  const std::string info = CorvoBase(code) + ".info";
  WriteFile(info, "RadioZondType: 90\r\n");
  uint8_t rs = 0;
  a->OpenAscent(info, rs);
  return a;
}

std::string CorvoCompanion(uint8_t code, std::string_view ext, std::string_view content) {
  const std::string path = CorvoBase(code) + std::string(ext);
  WriteFile(path, content);
  return path;
}

void DropCorvoCompanion(uint8_t code, std::string_view ext) {
  std::remove((CorvoBase(code) + std::string(ext)).c_str());
}

void FillProfile(TUAMessage& a) {
  a.LevelCount = 0;
  for (int i = 0; i < 20; ++i) {
    tUALevel& l = a.Levels[a.LevelCount++];
    l = tUALevel{};
    const double p = 1003.4 * std::pow(100.0 / 1003.4, i / 19.0);
    l.Time = static_cast<float>(i * 90);
    l.Pressure = static_cast<float>(std::round(p * 10) / 10);
    l.Height = static_cast<float>(std::round(147 + 7000 * std::log(1003.4 / p)));
    l.Temp = static_cast<float>(5.2 - 0.0065 * (l.Height - 147));
    l.Humidity = 80;
    l.DewPoint = l.Temp - 3;
    l.WindDir = static_cast<float>(270 + i);
    l.WindSpeed = static_cast<float>(3 + i);
    l.SigFlags = i == 0 ? kSigSurface : 0;
  }
}

std::string KioskCard(uint32_t station) {
  // 186 octets: block 1 (55), the variant octet, block 2 (84), block 3 (46).
  std::string b(186, '\x5A');
  PutLeU32(b, 20, station);
  b[55] = 0;
  const size_t block3 = 55 + 1 + 84;
  b[block3 + 20] = 5;
  b.replace(block3 + 21, 5, "70560");
  PutLeU16(b, block3 + 26, 9);
  PutLeU16(b, block3 + 28, 12);
  PutLeU16(b, block3 + 30, 2026);
  PutLeF32(b, block3 + 32, 23.25f);
  return b;
}

std::string KioskProfile(int points) {
  std::string b(32 + 44 * static_cast<size_t>(points), '\0');
  PutLeU16(b, 6, static_cast<uint16_t>(points - 1));  // last wind
  PutLeU16(b, 12, 0);                                 // no 100 hPa record
  for (int i = 0; i < points; ++i) {
    const size_t at = 32 + 44 * static_cast<size_t>(i);
    const double p = 1002.0 * std::pow(50.0 / 1002.0, i / double(points - 1));
    const double z = 150 + 7000 * std::log(1002.0 / p);
    const float values[] = {float(i * 60), float(std::round(p * 10) / 10), float(-5 - 0.0065 * (z - 150)), 70.0f,
                            float(z), float(250 + i), float(5 + i), float(100 * i), float(50 * i)};
    for (size_t v = 0; v < 9; ++v) PutLeF32(b, at + 4 * v, values[v]);
    PutLeU16(b, at + 42, i == 0 ? 0x01 : 0x04);
  }
  return b;
}

std::unique_ptr<TuaKioskMessage> OpenKiosk(std::string_view card, std::string_view edt, IOperator& op) {
  auto a = std::make_unique<TuaKioskMessage>();
  a->SystemCode = 8;
  a->StationInd = kStation;
  a->StationIndText = std::to_string(kStation);
  a->StationLat = 55.75;
  a->StationLon = 37.62;
  a->SetOperator(&op);
  a->KioskBase = ScratchFolder() + "kiosk/";
  ForceFolders(a->KioskBase + "RAW/2612/");
  ForceFolders(a->KioskBase + "RESULT/2612/");
  const std::string stg = a->KioskBase + "RAW/2612/26120900.stg";
  WriteFile(stg, card);
  WriteFile(a->KioskBase + "RESULT/2612/26120900.EDT", edt);
  uint8_t rs = 0;
  a->OpenAscent(stg, rs);
  return a;
}

}  // namespace tern::fuzz
