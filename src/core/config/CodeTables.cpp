#include "config/CodeTables.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace tern {

namespace {

constexpr std::string_view kAbsentText = "?";

std::string Key(std::string_view name, long long n) { return std::string(name) + std::to_string(n); }

// An integer within lo..hi; absent and malformed values fail like out-of-range ones.
std::optional<int> ReadRanged(const TMyIniFile& ini, std::string_view section, std::string_view key, int lo,
                              int hi) {
  const int v = ini.ReadInteger(section, key, INT_MIN);
  if (v < lo || v > hi) return std::nullopt;
  return v;
}

std::optional<uint16_t> ReadCode(const TMyIniFile& ini, std::string_view section, std::string_view key) {
  const auto v = ReadRanged(ini, section, key, 0, 255);
  if (!v) return std::nullopt;
  return static_cast<uint16_t>(*v);
}

std::optional<std::string> ReadText(const TMyIniFile& ini, std::string_view section, std::string_view key) {
  std::string v = ini.ReadString(section, key, kAbsentText);
  if (v == kAbsentText) return std::nullopt;
  return v;
}

std::optional<double> ReadFloatIn(const TMyIniFile& ini, std::string_view section, std::string_view key,
                                  double lo, double hi) {
  const double v = ini.ReadFloat(section, key, kMissing);
  if (!(v >= lo && v <= hi)) return std::nullopt;
  return v;
}

// N of a list section: 1..255.
std::optional<int> ReadListLength(const TMyIniFile& ini, std::string_view section) {
  return ReadRanged(ini, section, "N", 1, 255);
}

// Ends a list read that failed at entry k: the list keeps length n, entries from k on are empty.
template <typename List>
bool FailAt(List& list, size_t k, size_t n) {
  list.resize(k);
  list.resize(n);
  return false;
}

// The sensor and correction keys of a metadata section, in reading order.
struct MetaKey {
  const char* key;
  uint16_t tRsSystemCodes::*field;
};

bool ReadRsMeta(const TMyIniFile& ini, int m, tRsSystemCodes& rs) {
  const std::string section = Key("rsmeta", m);
  if (!ini.SectionExists(section)) return false;
  const auto radcor = ReadCode(ini, section, "radcor");
  if (!radcor) return false;
  rs.RadCor = static_cast<uint8_t>(*radcor);
  const auto trackt = ReadCode(ini, section, "trackt");
  if (!trackt) return false;
  rs.TrackT = static_cast<uint8_t>(*trackt);
  const auto windeq = ReadCode(ini, section, "windeq");
  if (!windeq) return false;
  rs.WindEq = static_cast<uint8_t>(*windeq);
  const auto freq = ReadFloatIn(ini, section, "freq", 0, 2000);
  if (!freq) return false;
  rs.Freq = *freq;
  static const MetaKey kRest[] = {
      {"complet", &tRsSystemCodes::Complet}, {"conf", &tRsSystemCodes::Conf},
      {"psensor", &tRsSystemCodes::PSensor}, {"tsensor", &tRsSystemCodes::TSensor},
      {"usensor", &tRsSystemCodes::USensor}, {"humcor", &tRsSystemCodes::HumCor},
      {"geopcalc", &tRsSystemCodes::GeopCalc},
  };
  for (const MetaKey& k : kRest) {
    const auto v = ReadCode(ini, section, k.key);
    if (!v) return false;
    rs.*k.field = *v;
  }
  return true;
}

bool ReadBalloon(const TMyIniFile& ini, int k, tBalloonCodes& b) {
  const std::string section = Key("balloon", k);
  const auto manuf = ReadCode(ini, section, "manuf");
  if (!manuf) return false;
  const auto weight = ReadFloatIn(ini, section, "weight", 0.05, 5.0);
  if (!weight) return false;
  const auto type = ReadCode(ini, section, "type");
  if (!type) return false;
  const std::string maker = Key("manuf", *manuf);
  const auto code = ReadCode(ini, maker, "code");
  if (!code) return false;
  const auto name = ReadText(ini, maker, "type");
  if (!name) return false;
  b = tBalloonCodes{*type, *code, *name, *weight};
  return true;
}

bool ReadGas(const TMyIniFile& ini, int k, tGasCodes& g) {
  const std::string section = Key("gas", k);
  const auto code = ReadCode(ini, section, "code");
  if (!code) return false;
  const auto name = ReadText(ini, section, "type");
  if (!name) return false;
  g = tGasCodes{*code, *name};
  return true;
}

bool IsLatinSmall(unsigned char c) { return c >= 'a' && c <= 'z'; }

std::string LatinCapitals(std::string text) {
  for (char& c : text)
    if (IsLatinSmall(static_cast<unsigned char>(c))) c = static_cast<char>(c - 32);
  return text;
}

// Transliteration of cp1251 а..я (0xE0..0xFF) in code order.
constexpr const char* kTranslit[32] = {"a", "b", "v", "g", "d", "e",  "zh", "z",  "i",  "j", "k",
                                       "l", "m", "n", "o", "p", "r",  "s",  "t",  "u",  "f", "x",
                                       "c", "ch", "sh", "sc", "'", "y", "'",  "e",  "yu", "ya"};
constexpr unsigned char kCapitalA = 0xC0, kSmallA = 0xE0, kCapitalYo = 0xA8, kSmallYo = 0xB8;

std::string Transliterate(unsigned char c) {
  if (c == kSmallYo) return "yo";
  if (c == kCapitalYo) return "Yo";
  if (c >= kSmallA) return kTranslit[c - kSmallA];
  if (c >= kCapitalA) {
    std::string s = kTranslit[c - kCapitalA];
    if (IsLatinSmall(static_cast<unsigned char>(s[0]))) s[0] = static_cast<char>(s[0] - 32);
    return s;
  }
  if (IsLatinSmall(c)) return std::string(1, static_cast<char>(c - 32));
  return std::string(1, static_cast<char>(c));
}

// "smena<k>" with k written the way WriteObservers writes it; -1 for any other key.
long long ObserverIndex(const std::string& key) {
  if (key.size() <= 5 || !StartsWithText(key, "smena")) return -1;
  const std::string digits = key.substr(5);
  if (digits.size() > 10 || (digits.size() > 1 && digits[0] == '0')) return -1;
  long long n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

}  // namespace

bool ReadRadiosonde(const TMyIniFile& ini, int code, tRsSystemCodes& out) {
  const std::string section = Key("rs", code);
  if (!ini.SectionExists(section)) return false;
  tRsSystemCodes rs;
  const auto bufrCode = ReadCode(ini, section, "code");
  if (!bufrCode) return false;
  rs.Code = *bufrCode;
  const auto name = ReadText(ini, section, "type");
  if (!name) return false;
  rs.Name = *name;
  if (ini.ValueExists(section, "manuf") && ini.ValueExists(section, "model")) {
    const auto manuf = ReadCode(ini, section, "manuf");
    const auto model = manuf ? ReadCode(ini, section, "model") : std::nullopt;
    if (!manuf || !model) return false;
    rs.Manuf = *manuf;
    rs.Model = *model;
  }
  const auto meta = ReadRanged(ini, section, "rsmeta", 0, INT_MAX);
  if (!meta || !ReadRsMeta(ini, *meta, rs)) return false;
  out = std::move(rs);
  return true;
}

bool ReadGroundSystem(const TMyIniFile& ini, int n, tGSSystemCodes& out) {
  out.Rs.clear();
  out.Count = 0;
  auto fail = [&out] {
    out.Rs.clear();
    out.Count = 0;
    return false;
  };
  const auto title = ReadText(ini, "TERN", Key("Title", n));
  if (!title) return fail();
  out.Title = *title;
  const auto hiRes = ReadRanged(ini, "TERN", Key("HiRes", n), 0, 1);
  if (!hiRes) return fail();
  out.HiRes = static_cast<uint8_t>(*hiRes);
  const auto g = ReadCode(ini, "TERN", Key("GroundSys", n));
  if (!g) return fail();
  const auto s = ReadCode(ini, "TERN", Key("RSSet", n));
  if (!s) return fail();
  const auto groundSys = ReadCode(ini, "GroundSys", Key("GroundSys", *g));
  if (!groundSys) return fail();
  out.GroundSys = *groundSys;
  const std::string set = Key("RSSet", *s);
  const auto count = ReadListLength(ini, set);
  if (!count) return fail();
  out.Count = static_cast<uint16_t>(*count);
  out.Rs.resize(*count);
  for (int k = 0; k < *count; ++k) {
    const auto rsCode = ReadCode(ini, set, Key("rs", k));
    if (!rsCode || !ReadRadiosonde(ini, *rsCode, out.Rs[k])) return fail();
    // The Kiosk family reports this sonde under the newer table entry.
    if ((n == 8 || n == 9) && out.Rs[k].Code == 27) out.Rs[k].Code = 75;
  }
  return true;
}

namespace {

// A list whose length is N of the section and whose entries readEntry reads one by one.
template <typename List, typename ReadEntry>
bool ReadEntryList(const TMyIniFile& ini, const char* section, List& out, ReadEntry readEntry) {
  out.clear();
  const auto n = ReadListLength(ini, section);
  if (!n) return false;
  out.resize(*n);
  for (int k = 0; k < *n; ++k)
    if (!readEntry(ini, k, out[k])) return FailAt(out, k, *n);
  return true;
}

}  // namespace

bool ReadBalloonList(const TMyIniFile& ini, tBalloonCodesArray& out) {
  return ReadEntryList(ini, "balloon", out, ReadBalloon);
}

bool ReadGasList(const TMyIniFile& ini, tGasCodesArray& out) { return ReadEntryList(ini, "gas", out, ReadGas); }

bool ReadTerminationList(const TMyIniFile& ini, tTerminationCodesArray& out) {
  out.clear();
  const auto n = ReadListLength(ini, "Termination");
  if (!n) return false;
  out.resize(*n);
  for (int k = 0; k < *n; ++k) {
    const auto code = ReadCode(ini, "Termination", Key("code", k));
    if (!code) return FailAt(out, k, *n);
    out[k].Code = *code;
  }
  for (int k = 0; k < *n; ++k) {
    const auto text = ReadText(ini, "eterm", Key("ecod", k));
    if (!text) return FailAt(out, k, *n);
    out[k].BufrText = *text;
  }
  for (int k = 0; k < *n; ++k) {
    const auto text = ReadText(ini, "rterm", Key("rcod", k));
    if (!text) return FailAt(out, k, *n);
    out[k].Name = *text;
  }
  return true;
}

void ReadObservers(const TMyIniFile& ini, TextList& list) {
  list.clear();
  const long long n = std::llabs(static_cast<long long>(ini.ReadInteger("SMENA", "N", 0)));
  // Walk the keys that exist rather than 0..N-1, so a damaged N cannot stall start-up.
  TextList keys;
  ini.ReadSection("SMENA", keys);
  std::vector<long long> indexes;
  for (const std::string& key : keys) {
    const long long k = ObserverIndex(key);
    if (k >= 0 && k < n) indexes.push_back(k);
  }
  std::sort(indexes.begin(), indexes.end());
  indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
  for (long long k : indexes) {
    const std::string name = ini.ReadString("SMENA", Key("smena", k), "");
    if (name.empty()) continue;
    list.push_back(LatinCapitals(name.substr(0, 4)));
  }
}

void WriteObservers(TMyIniFile& ini, const TextList& list) {
  TextList stored;
  for (const std::string& name : list) stored.push_back(LatinCapitals(name.substr(0, 4)));
  // An unchanged list leaves the file alone. Comparing the count alone would
  // drop an edit that removes one name and adds another.
  bool unchanged = ini.ReadInteger("SMENA", "N", -1) == static_cast<long long>(stored.size());
  for (size_t k = 0; unchanged && k < stored.size(); ++k)
    unchanged = ini.ReadString("SMENA", Key("smena", static_cast<long long>(k)), "") == stored[k];
  if (unchanged) return;
  ini.EraseSection("SMENA");
  ini.WriteInteger("SMENA", "N", static_cast<int>(stored.size()));
  for (size_t k = 0; k < stored.size(); ++k)
    ini.WriteString("SMENA", Key("smena", static_cast<long long>(k)), stored[k]);
}

std::string ObserverCode(const std::string& name) {
  std::string code;
  for (size_t i = 0; i < name.size() && i < 3; ++i) {
    for (char c : Transliterate(static_cast<unsigned char>(name[i]))) {
      code += c;
      if (code.size() == 4) return code;
    }
  }
  return code;
}

}  // namespace tern
