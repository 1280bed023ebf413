#include "config/MyIniFile.h"

#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "base/Error.h"
#include "base/Files.h"

namespace tern {
namespace {

constexpr size_t kMaxValue = 2047;

struct RawLine {
  std::string text;  // without its line end
  std::string eol;   // the line end as found ("\r\n", "\n", "" for the last line)
};

struct Entry {
  std::string key;
  std::string value;
  size_t line;
};

struct Section {
  std::string name;
  size_t header;
  size_t lastLine;  // last non-blank line that belongs to the section
  std::vector<Entry> entries;
};

struct Parsed {
  std::vector<RawLine> lines;
  std::vector<Section> sections;

  // Windows private-profile files: the first section of a name wins.
  const Section* Find(std::string_view name) const {
    for (const auto& s : sections)
      if (SameText(s.name, name)) return &s;
    return nullptr;
  }
};

std::string Unquote(std::string v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return v;
}

Parsed Parse(const std::string& data) {
  Parsed p;
  size_t pos = 0;
  while (pos < data.size()) {
    const size_t lf = data.find('\n', pos);
    RawLine l;
    if (lf == std::string::npos) {
      l.text = data.substr(pos);
      pos = data.size();
    } else {
      l.text = data.substr(pos, lf - pos);
      l.eol = "\n";
      pos = lf + 1;
    }
    while (!l.text.empty() && l.text.back() == '\r') {
      l.text.pop_back();
      l.eol.insert(l.eol.begin(), '\r');
    }
    p.lines.push_back(std::move(l));
  }
  Section* current = nullptr;
  for (size_t i = 0; i < p.lines.size(); ++i) {
    const std::string t = Trim(p.lines[i].text);
    if (t.empty() || t[0] == ';') continue;
    if (t[0] == '[') {
      const size_t close = t.find(']');
      p.sections.push_back({Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1)), i, i, {}});
      current = &p.sections.back();
      continue;
    }
    if (!current) continue;
    current->lastLine = i;
    const size_t eq = t.find('=');
    if (eq == std::string::npos) continue;
    std::string key = Trim(t.substr(0, eq));
    std::string value = Unquote(Trim(t.substr(eq + 1)));
    if (value.size() > kMaxValue) value.resize(kMaxValue);
    current->entries.push_back({std::move(key), std::move(value), i});
  }
  return p;
}

// Reading a settings file value by value would parse it again for every key;
// the parsed form is reused while the file's bytes are the same, so every read
// still sees the file as it is now.
struct CacheEntry {
  std::string content;
  std::shared_ptr<const Parsed> parsed;
};

std::mutex cacheMutex;
std::map<std::string, CacheEntry> cache;

std::shared_ptr<const Parsed> LoadShared(const std::string& path) {
  auto data = ReadWholeFile(path);
  if (!data) return std::make_shared<const Parsed>();
  std::lock_guard lock(cacheMutex);
  auto it = cache.find(path);
  if (it != cache.end() && it->second.content == *data) return it->second.parsed;
  auto parsed = std::make_shared<const Parsed>(Parse(*data));
  cache[path] = {std::move(*data), parsed};
  return parsed;
}

std::optional<std::string> Lookup(const std::string& path, std::string_view section, std::string_view key) {
  const auto shared = LoadShared(path);
  const Parsed& p = *shared;
  const Section* s = p.Find(section);
  if (!s) return std::nullopt;
  for (const auto& e : s->entries)
    if (SameText(e.key, key)) return e.value;
  return std::nullopt;
}

void Store(const std::string& path, const Parsed& p) {
  std::string out;
  for (const auto& l : p.lines) out += l.text + l.eol;
  WriteFileAtomic(path, out);
}

// A write reads the file strictly: one that exists but cannot be read would
// otherwise pass for an empty file and be replaced by the written key alone.
// change edits the parsed file and tells whether there is anything to store.
template <typename Change>
void Edit(const std::string& path, Change change) {
  const std::string target = FollowOwnLinks(path);
  const auto data = ReadFileIfPresent(target);
  Parsed p = data ? Parse(*data) : Parsed{};
  if (change(p)) Store(target, p);
}

void InsertLine(Parsed& p, size_t at, std::string text) {
  // The line before the insertion point must end with a line feed, or the new
  // line would join it: a lone CR ends no line when the file is read again.
  if (at > 0 && p.lines[at - 1].eol.find('\n') == std::string::npos) p.lines[at - 1].eol += "\r\n";
  p.lines.insert(p.lines.begin() + static_cast<long>(at), RawLine{std::move(text), "\r\n"});
}

}  // namespace

std::string FloatToText(double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15G", value);
  std::string s(buf);
  // "1.5E-05" -> "1.5E-5": exponents without padding.
  const size_t e = s.find('E');
  if (e != std::string::npos) {
    size_t d = e + 2;
    while (d < s.size() - 1 && s[d] == '0') s.erase(d, 1);
    if (s[e + 1] == '+') s.erase(e + 1, 1);
  }
  return s;
}

std::string TMyIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
  auto v = Lookup(path_, section, key);
  return v ? *v : std::string(def);
}

int TMyIniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
  auto v = Lookup(path_, section, key);
  if (!v) return def;
  auto n = TryParseInt(*v);
  return n ? *n : def;
}

bool TMyIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  auto v = Lookup(path_, section, key);
  if (!v) return def;
  auto n = TryParseInt(*v);
  return n ? *n != 0 : def;
}

double TMyIniFile::ReadFloat(std::string_view section, std::string_view key, double def) const {
  auto v = Lookup(path_, section, key);
  if (!v) return def;
  auto n = TryParseReal(*v);
  return n ? *n : def;
}

TDateTime TMyIniFile::ReadDate(std::string_view section, std::string_view key, TDateTime def) const {
  auto v = Lookup(path_, section, key);
  if (!v) return def;
  auto d = StrToDate(*v);
  return d ? *d : def;
}

TDateTime TMyIniFile::ReadTime(std::string_view section, std::string_view key, TDateTime def) const {
  auto v = Lookup(path_, section, key);
  if (!v) return def;
  auto d = StrToTime(*v);
  return d ? *d : def;
}

TDateTime TMyIniFile::ReadDateTime(std::string_view section, std::string_view key, TDateTime def) const {
  auto v = Lookup(path_, section, key);
  if (!v) return def;
  auto d = StrToDateTime(*v);
  return d ? *d : def;
}

bool TMyIniFile::SectionExists(std::string_view section) const {
  const auto shared = LoadShared(path_);
  const Parsed& p = *shared;
  const Section* s = p.Find(section);
  return s && !s->entries.empty();
}

bool TMyIniFile::ValueExists(std::string_view section, std::string_view key) const {
  return Lookup(path_, section, key).has_value();
}

void TMyIniFile::ReadSection(std::string_view section, TextList& keys) const {
  keys.clear();
  const auto shared = LoadShared(path_);
  const Parsed& p = *shared;
  if (const Section* s = p.Find(section))
    for (const auto& e : s->entries) keys.push_back(e.key);
}

void TMyIniFile::ReadSectionValues(std::string_view section, TextList& lines) const {
  lines.clear();
  const auto shared = LoadShared(path_);
  const Parsed& p = *shared;
  if (const Section* s = p.Find(section))
    for (const auto& e : s->entries) lines.push_back(e.key + "=" + e.value);
}

TextList TMyIniFile::ReadSections() const {
  TextList names;
  const auto shared = LoadShared(path_);
  const Parsed& p = *shared;
  for (const auto& s : p.sections) {
    if (!p.Find(s.name)->entries.empty() && &s == p.Find(s.name)) names.push_back(s.name);
  }
  return names;
}

void TMyIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  Edit(path_, [&](Parsed& p) {
    const std::string line = std::string(key) + "=" + std::string(value);
    const Section* s = p.Find(section);
    if (!s) {
      if (!p.lines.empty() && !Trim(p.lines.back().text).empty()) InsertLine(p, p.lines.size(), "");
      InsertLine(p, p.lines.size(), "[" + std::string(section) + "]");
      InsertLine(p, p.lines.size(), line);
      return true;
    }
    for (const auto& e : s->entries) {
      if (SameText(e.key, key)) {
        p.lines[e.line].text = line;
        return true;
      }
    }
    InsertLine(p, s->lastLine + 1, line);
    return true;
  });
}

void TMyIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

void TMyIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TMyIniFile::WriteFloat(std::string_view section, std::string_view key, double value) {
  WriteString(section, key, FloatToText(value));
}

void TMyIniFile::WriteDate(std::string_view section, std::string_view key, TDateTime value) {
  WriteString(section, key, DateToStr(value));
}

void TMyIniFile::WriteTime(std::string_view section, std::string_view key, TDateTime value) {
  WriteString(section, key, TimeToStr(value));
}

void TMyIniFile::WriteDateTime(std::string_view section, std::string_view key, TDateTime value) {
  WriteString(section, key, DateTimeToStr(value));
}

void TMyIniFile::EraseSection(std::string_view section) {
  Edit(path_, [&](Parsed& p) {
    bool changed = false;
    // Every section of that name goes, with its lines up to the next section.
    for (size_t i = p.sections.size(); i > 0; --i) {
      const Section& s = p.sections[i - 1];
      if (!SameText(s.name, section)) continue;
      const size_t end = i < p.sections.size() ? p.sections[i].header : p.lines.size();
      p.lines.erase(p.lines.begin() + static_cast<long>(s.header), p.lines.begin() + static_cast<long>(end));
      changed = true;
    }
    return changed;
  });
}

void TMyIniFile::DeleteKey(std::string_view section, std::string_view key) {
  Edit(path_, [&](Parsed& p) {
    const Section* s = p.Find(section);
    if (!s) return false;
    for (const auto& e : s->entries) {
      if (SameText(e.key, key)) {
        p.lines.erase(p.lines.begin() + static_cast<long>(e.line));
        return true;
      }
    }
    return false;
  });
}

}  // namespace tern
