#include "sounding/corvo/AscentGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <numbers>

#include "base/Files.h"
#include "base/Text.h"
#include "sounding/corvo/CorvoSystems.h"
#include "sounding/corvo/StandardLevels.h"

namespace tern {

namespace {

constexpr double kDeg = std::numbers::pi / 180;
constexpr double kMetresPerDegree = 6371000.0 * kDeg;
constexpr double kAscentRate = 5.2;      // m/s
constexpr double kTropopause = 11200;    // gpm

std::string Fmt(const char* format, ...) {
  char buf[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buf, sizeof buf, format, args);
  va_end(args);
  return buf;
}

double Round(double v, int decimals) {
  const double scale = std::pow(10.0, decimals);
  return std::round(v * scale) / scale;
}

// The atmosphere at a height (gpm above sea level).
struct Air {
  double temp, hum, dir, speed;
};

Air AirAt(double z) {
  Air a{};
  const double km = z / 1000;
  if (z < kTropopause) a.temp = 15 - 6.5 * km;
  else if (z < 20000) a.temp = 15 - 6.5 * kTropopause / 1000;
  else a.temp = 15 - 6.5 * kTropopause / 1000 + (km - 20);
  a.temp += 0.4 * std::sin(z / 700);
  a.hum = z < kTropopause ? 85 - 75 * (z / kTropopause) + 6 * std::sin(z / 900) : 3 + std::sin(z / 1500);
  a.hum = std::clamp(a.hum, 2.0, 97.0);
  a.dir = 200 + 90 * std::min(z, 12000.0) / 12000 + 10 * std::sin(z / 1500);
  a.speed = 3 + 42 * std::exp(-std::pow((z - 11500) / 3500, 2)) + 8 * z / 30000;
  return a;
}

double DewDepression(double temp, double hum) {
  const double es = 6.112 * std::exp(17.62 * temp / (243.12 + temp));
  const double g = std::log(hum / 100 * es / 6.112);
  return temp - 243.12 * g / (17.62 - g);
}

// The flight sampled every second: height, pressure, weather and drift.
struct Sample {
  double time, z, p;
  Air air;
  double x, y;  // drift east and north, m
};

std::vector<Sample> Fly(const AscentPlan& plan, int seconds) {
  std::vector<Sample> out;
  out.reserve(static_cast<size_t>(seconds) + 1);
  double p = plan.surfacePressure, x = 0, y = 0, zPrev = plan.barometerHeight;
  for (int t = 0; t <= seconds; ++t) {
    const double z = plan.barometerHeight + kAscentRate * t + 0.5 * std::sin(t / 37.0);
    const Air air = AirAt(z);
    p *= std::exp(-9.80665 * (z - zPrev) / (287.05 * (air.temp + 273.15)));
    out.push_back({double(t), z, p, air, x, y});
    // The balloon drifts with the wind it is in: towards the direction opposite to where the wind comes from.
    x += -air.speed * std::sin(air.dir * kDeg);
    y += -air.speed * std::cos(air.dir * kDeg);
    zPrev = z;
  }
  return out;
}

double Slant(const Sample& s, double z0) { return std::sqrt(s.x * s.x + s.y * s.y + (s.z - z0) * (s.z - z0)); }
double Elevation(const Sample& s, double z0) { return std::atan2(s.z - z0, std::hypot(s.x, s.y)) / kDeg; }
double Azimuth(const Sample& s) {
  double a = std::atan2(s.x, s.y) / kDeg;
  return a < 0 ? a + 360 : a;
}
int Direction(double d) {
  const int r = static_cast<int>(std::lround(std::fmod(d, 360.0)));
  return r <= 0 ? r + 360 : r;
}

void Write(const std::string& path, const std::string& utf8) { WriteFileAtomic(path, Utf8ToCp1251(utf8)); }

std::string Crlf(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\r\n";
  return out;
}

// TEMP code pieces.
std::string TempGroup(double t, double dep) {
  const int tenths = static_cast<int>(std::lround(std::abs(t) * 10));
  int ttt = tenths;
  if ((ttt % 2 == 0) != (t >= 0)) ttt += 1;  // even tenths above zero, odd below
  const int dd = dep < 5.05 ? static_cast<int>(std::lround(dep * 10)) : std::min(99, static_cast<int>(std::lround(dep)) + 50);
  return Fmt("%03d%02d", std::min(ttt, 999), dd);
}
std::string WindGroup(double dir, double speed) {
  const int d5 = (static_cast<int>(std::lround(dir / 5)) * 5) % 360;
  const int ff = static_cast<int>(std::lround(speed));
  return Fmt("%03d%02d", (d5 == 0 ? 360 : d5) + ff / 100, ff % 100);
}

}  // namespace

GeneratedAscent GenerateCorvoAscent(const std::string& folder, const AscentPlan& plan) {
  const CorvoSystem* sys = FindCorvoSystem(plan.code);
  const CorvoSystem& s = sys ? *sys : *FindCorvoSystem(1);
  ForceFolders(folder);
  const DateParts lt = DecodeDateTime(plan.launch);
  const std::string name = IncludeTrailingSeparator(folder) +
                           FormatDateTime(s.compactNames ? "yyyymmdd-hhnn" : "d.m.yyyy-h.n", plan.launch);
  GeneratedAscent out;
  out.infoFile = name + ".info";
  const int levels = std::max(plan.levels, 2);
  const std::vector<Sample> flight = Fly(plan, 2 * (levels - 1));
  const double z0 = plan.barometerHeight;
  const bool tae = s.route != CorvoRoute::Profile;

  // The main table: one level every 2 s, rounded as the table writes it.
  int maxWind = 0, tropo = 0;
  double maxSpeed = -1;
  for (int i = 0; i < levels; ++i) {
    const Sample& f = flight[static_cast<size_t>(2 * i)];
    GeneratedLevel l{};
    l.time = f.time;
    l.height = std::round(f.z);
    l.pressure = Round(f.p, tae ? 1 : 2);
    l.temp = Round(f.air.temp, tae ? 1 : 2);
    l.hum = std::round(f.air.hum);
    l.dewDep = Round(DewDepression(f.air.temp, f.air.hum), 1);
    l.dir = tae ? Direction(f.air.dir) : Round(f.air.dir, 1);
    l.speed = Round(f.air.speed, tae ? 0 : 1);
    l.range = std::round(Slant(f, z0));
    l.elevation = Round(Elevation(f, z0), 2);
    l.azimuth = Round(Azimuth(f), 2);
    l.latDisp = f.y / kMetresPerDegree;
    l.lonDisp = f.x / (kMetresPerDegree * std::cos(plan.stationLat * kDeg));
    if (l.speed > maxSpeed) {
      maxSpeed = l.speed;
      maxWind = i;
    }
    if (std::abs(f.z - kTropopause) < std::abs(flight[static_cast<size_t>(2 * tropo)].z - kTropopause)) tropo = i;
    out.table.push_back(l);
  }
  out.table[static_cast<size_t>(maxWind)].maxWind = true;
  out.table[static_cast<size_t>(tropo)].tropopause = true;
  // The standard levels sit exactly on their pressure: the nearest level is moved there.
  for (int sl : kStandardLevels) {
    // A level the balloon never reached is not forced onto the top of the table:
    // that would put a low pressure at a height far below its own.
    if (sl < out.table.back().pressure) continue;
    auto nearest = std::min_element(out.table.begin() + 1, out.table.end(), [sl](const auto& a, const auto& b) {
      return std::abs(a.pressure - sl) < std::abs(b.pressure - sl);
    });
    if (std::abs(nearest->pressure - sl) < 2) {
      nearest->pressure = sl;
      nearest->standard = true;
    }
  }

  // Surface layer: every 50 m up to 1.5 km above the barometer.
  for (int dam = 0; dam <= 150; dam += 5) {
    const double z = z0 + dam * 10;
    const auto above = std::find_if(flight.begin(), flight.end(), [z](const Sample& f) { return f.z >= z; });
    const Sample& f = above == flight.end() ? flight.back() : *above;
    const double p = f.p * std::exp(-9.80665 * (z - f.z) / (287.05 * (f.air.temp + 273.15)));
    const Air a = AirAt(z);
    out.surface.push_back({double(dam), dam == 0 ? out.table[0].pressure : Round(p, 1), std::round(a.speed),
                           double(Direction(a.dir)), Round(a.temp, 1), std::round(a.hum),
                           Round(DewDepression(a.temp, a.hum), 1)});
  }

  const std::string date = FormatDateTime("dd.mm.yyyy hh:nn", plan.launch);
  Write(out.infoFile, Crlf({"Станция: " + std::to_string(plan.station), "Выпуск: " + date,
                            "RadioZondType: " + std::to_string(plan.sondeType), "Оболочка: 300"}));

  // The main table.
  std::vector<std::string> lines;
  if (s.route == CorvoRoute::Profile) {
    lines = {"ИНДЕКС СТАНЦИИ: " + std::to_string(plan.station), "ДАТА И ВРЕМЯ ВЫПУСКА: " + date, "", "",
             "ОБЛАЧНОСТЬ: " + plan.cloudGroup, "РАДИОЗОНД: " + std::to_string(plan.sondeType), "", "", "",
             "     t,c   D,m   H,m   P,hPa   E,gr   A,gr  dd,gr ff,m/s   T,C  U%   dT SP"};
    for (size_t i = 0; i < out.table.size(); ++i) {
      const GeneratedLevel& l = out.table[i];
      std::string letters;
      if (i == 0) letters = " UI TI DI VI";
      else if (l.tropopause) letters = " TR";
      else if (l.maxWind) letters = " M DI";
      else if (i % 25 == 0) letters = i % 50 == 0 ? " TI" : " UI";
      else if (i % 30 == 0) letters = " VI";
      lines.push_back(Fmt("%6.1f%7.0f%6.0f%8.2f%7.2f%7.2f%7.1f%6.1f%7.2f%3.0f%6.1f", l.time, l.range, l.height,
                          l.pressure, l.elevation, l.azimuth, l.dir, l.speed, l.temp, l.hum, l.dewDep) +
                      letters);
    }
    Write(name + (plan.code == 1 ? ".prof.1" : ".prof"), Crlf(lines));
  } else {
    const bool tae03 = s.route == CorvoRoute::Tae03;
    lines = {"ТАЭ-3   РЕЗУЛЬТАТЫ ОБРАБОТКИ РАДИОЗОНДИРОВАНИЯ", "ВЫПУСК " + date,
             std::string(tae03 ? "СИНОПТИЧЕСКИЙ ИНДЕКС СТАНЦИИ  " : "СИНОПТИЧЕСКИЙ ИНДЕКС СТАНЦИИ ") +
                 std::to_string(plan.station),
             "ОБЛАЧНОСТЬ: " + plan.cloudGroup, "",
             tae03 ? "SP     H       P       T      U   DD   FF      X" : "SP  H      P     T    U  DD   FF    X"};
    for (size_t i = 0; i < out.table.size(); ++i) {
      const GeneratedLevel& l = out.table[i];
      std::string sp;
      if (l.tropopause) sp = tae03 ? "НГ" : "ТР";
      else if (tae03 && l.standard) sp = "ИП";
      else if (i % 25 == 0) sp = i % 50 == 0 ? "T" : "U";
      const double km = l.height / 1000;
      if (tae03) {
        const std::string u = Fmt("%.0f", l.hum);
        const std::string tail = "  " + u + std::string(u.size() >= 2 ? 3 - u.size() : 1, ' ') +
                                 Fmt("%5.0f%5.0f%7.1f", l.dir, l.speed, l.dewDep);
        lines.push_back(sp + std::string(7 - Utf8ToCp1251(sp).size(), ' ') +
                        Fmt("%6.3f%8.1f%7.1f", km, l.pressure, l.temp) + tail);
      } else {
        lines.push_back(sp + std::string(3 - Utf8ToCp1251(sp).size(), ' ') +
                        Fmt("%6.3f%7.1f%6.1f%3.0f%4.0f%5.0f%5.1f", km, l.pressure, l.temp, l.hum, l.dir, l.speed,
                            l.dewDep));
      }
    }
    Write(name + (tae03 && plan.code != 2 ? ".tae3" : tae03 ? ".tae03" : ".tae3"), Crlf(lines));

    // Raw data every second; between the table's levels the sensor wanders a little.
    lines = {"Исходные данные зондирования", "   ВРЕМЯ     H      D      E      A     T   U"};
    for (size_t t = 0; t < flight.size(); ++t) {
      const Sample& f = flight[t];
      const double noise = t % 2 ? (t % 4 == 1 ? 0.3 : -0.3) : 0;
      lines.push_back(Fmt("%7.1f%6.0f%7.0f%7.2f%7.2f%6.1f %.0f", f.time, std::round(f.z), std::round(Slant(f, z0)),
                          Round(Elevation(f, z0), 2), Round(Azimuth(f), 2),
                          Round(t % 2 ? f.air.temp + noise : Round(f.air.temp, 1), 1), std::round(f.air.hum)));
    }
    Write(name + s.rawExt, Crlf(lines));

    if (tae03) {
      lines.clear();
      for (size_t i = 37; i < out.table.size(); i += 37) {
        out.windPointTimes.push_back(out.table[i].time);
        lines.push_back(Fmt("%8.1f V", out.table[i].time));
        lines.push_back(Fmt("%8.1f T", out.table[i].time + 2));
      }
      Write(name + ".SP", Crlf(lines));
    } else {
      out.dirPointHeights.push_back(out.table[0].height);
      for (size_t i = 41; i < out.table.size(); i += 41) out.dirPointHeights.push_back(out.table[i].height);
      for (size_t i = 29; i < out.table.size(); i += 29) out.speedPointHeights.push_back(out.table[i].height);
      lines = {std::to_string(out.speedPointHeights.size()) + " особые точки скорости"};
      for (double h : out.speedPointHeights) lines.push_back(Fmt("%.0f %.1f", h, AirAt(h).speed));
      lines.push_back(std::to_string(out.dirPointHeights.size()) + " особые точки направления");
      for (double h : out.dirPointHeights) lines.push_back(Fmt("%.0f %.0f", h, AirAt(h).dir));
      Write(name + ".SPoints", Crlf(lines));
    }
  }

  // Surface-layer table.
  lines = {"ИНДЕКС " + std::to_string(plan.station) + "  " + date, "  H     P   V  DD     T   U   D",
           "ПРИЗЕМНЫЙ СЛОЙ"};
  for (const GeneratedSurface& g : out.surface) {
    const std::string p = Fmt(g.pressure >= 1000 ? "%6.1f" : "%5.1f", g.pressure);
    lines.push_back(Fmt("%3.0f ", g.heightAboveBarometer) + p + Fmt(" %2.0f %3.0f %5.1f %3.0f", g.speed, g.dir, g.temp, g.hum) +
                    (g.hum >= 100 ? " " : "") + Fmt("%4.1f", g.dewDep));
  }
  Write(name + s.groundExt, Crlf(lines));

  // TEMP telegram and layer message.
  const std::string yygg = FormatDateTime("ddhh", std::round(plan.launch * 24) / 24);
  const std::string iiiii = Fmt("%05u", plan.station);
  const GeneratedLevel& sfc = out.table[0];
  std::string ttaa = "TTAA " + yygg + "1 " + iiiii + Fmt(" 99%03d ", static_cast<int>(std::lround(sfc.pressure)) % 1000) +
                     TempGroup(sfc.temp, sfc.dewDep) + " " + WindGroup(sfc.dir, sfc.speed);
  std::string ttcc = "TTCC " + yygg + "7 " + iiiii;
  for (const GeneratedLevel& l : out.table) {
    if (!l.standard) continue;
    const int p = static_cast<int>(l.pressure);
    const int code = p == 1000 ? 0 : p >= 100 ? p / 10 % 100 : p;
    const int hhh = p >= 500 ? static_cast<int>(l.height) % 1000 : static_cast<int>(std::lround(l.height / 10)) % 1000;
    const std::string group = Fmt(" %02d%03d ", code, hhh) + TempGroup(l.temp, l.dewDep) + " " + WindGroup(l.dir, l.speed);
    (p >= 100 ? ttaa : ttcc) += group;
  }
  const GeneratedLevel& tp = out.table[static_cast<size_t>(tropo)];
  ttaa += Fmt(" 88%03d ", static_cast<int>(std::lround(tp.pressure))) + TempGroup(tp.temp, tp.dewDep) + " " +
          WindGroup(tp.dir, tp.speed);
  const GeneratedLevel& mw = out.table[static_cast<size_t>(maxWind)];
  ttaa += Fmt(" 77%03d ", static_cast<int>(std::lround(mw.pressure))) + WindGroup(mw.dir, mw.speed) + "=";
  ttcc += " 88999 77999=";
  std::string ttbb = "TTBB " + yygg + "/ " + iiiii, ttdd = "TTDD " + yygg + "/ " + iiiii;
  int nb = 0, nd = 0;
  for (size_t i = 0; i < out.table.size(); i += 150) {
    const GeneratedLevel& l = out.table[i];
    const bool high = l.pressure < 100;
    const int n = high ? nd++ : nb++;
    const int ppp = high ? static_cast<int>(std::lround(l.pressure * 10)) % 1000 : static_cast<int>(std::lround(l.pressure)) % 1000;
    (high ? ttdd : ttbb) += Fmt(" %d%d%03d ", n % 10, n % 10, ppp) + TempGroup(l.temp, l.dewDep);
  }
  ttbb += " 31313 5" + Fmt("%02d", plan.sondeType % 100) + "03 8" + Fmt("%02d%02d", lt.hour, lt.minute) + "=";
  ttdd += "=";
  std::string kn;
  for (const std::string* part : {&ttaa, &ttbb, &ttcc, &ttdd}) {
    // Telegram lines of at most 69 characters, broken between groups.
    std::string line;
    size_t at = 0;
    while (at < part->size()) {
      size_t next = part->find(' ', at);
      if (next == std::string::npos) next = part->size();
      const std::string group = part->substr(at, next - at);
      if (!line.empty() && line.size() + 1 + group.size() > 69) {
        kn += line + "\r\n";
        line.clear();
      }
      line += (line.empty() ? "" : " ") + group;
      at = next + 1;
    }
    kn += line + "\r\n\r\n";
  }
  Write(name + (s.hasKN04 && plan.code != 1 ? ".KN04" : ".KN4"), kn);
  Write(name + s.layerExt, Crlf({"СЛОЙ " + iiiii + " " + yygg + "0 " + Fmt("1%04.0f ", std::min(out.table[0].height, 9999.0)) +
                                 "20218 30415 40612 50809 61007="}));
  return out;
}

}  // namespace tern
