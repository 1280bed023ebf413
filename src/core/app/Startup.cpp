#include "app/Startup.h"

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/Files.h"
#include "base/Text.h"

namespace tern {
namespace {

bool IsSwitch(const std::string& p) { return p.size() > 1 && (p[0] == '-' || p[0] == '/'); }

struct LogState {
  bool enabled = false;
  std::string path;
};
LogState& State() {
  static LogState s;
  return s;
}

// The log's name comes from the command line and its folder may be shared: a
// link someone put at that name is not written through.
bool AppendLine(const std::string& path, std::string_view text) {
  const int fd = ::open(NativePath(path).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  const std::string line = std::string(text) + "\r\n";
  // One write per line: appends of one line never interleave with another writer.
  bool ok = ::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
  ok = ::close(fd) == 0 && ok;
  return ok;
}

}  // namespace

std::string FindSwitchValue(const ParamList& params, std::string_view name) {
  for (size_t i = 0; i < params.size(); ++i) {
    if (IsSwitch(params[i]) && SameText(std::string_view(params[i]).substr(1), name))
      return i + 1 < params.size() ? params[i + 1] : std::string();
  }
  return {};
}

bool HasSwitch(const ParamList& params, std::string_view name) {
  for (const auto& p : params)
    if (IsSwitch(p) && SameText(std::string_view(p).substr(1), name)) return true;
  return false;
}

std::string LogDateLine(TDateTime dt) {
  // One digit, point, 14 digits, E, exponent sign and four digits, after a sign blank.
  char mant[64];
  std::snprintf(mant, sizeof mant, "%.14E", std::fabs(dt));
  std::string m(mant);
  const size_t e = m.find('E');
  const int exponent = std::atoi(m.c_str() + e + 1);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%c%sE%c%04d", dt < 0 ? '-' : ' ', m.substr(0, e).c_str(), exponent < 0 ? '-' : '+',
                std::abs(exponent));
  return buf;
}

std::string ProgramFolderFor(const ParamList& params, const std::string& currentFolder,
                             const std::string& executableFolder, const std::string& userFolder) {
  if (HasSwitch(params, "AC")) return IncludeTrailingSeparator(currentFolder);
  if (FileExists(IncludeTrailingSeparator(executableFolder) + "STATION.CNF"))
    return IncludeTrailingSeparator(executableFolder);
  return IncludeTrailingSeparator(userFolder);
}

std::string UserProgramFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  // The base directory rules ignore a relative value.
  const std::string base = xdg && *xdg == '/' ? IncludeTrailingSeparator(xdg) : HomeFolder() + ".config/";
  return base + "tern2bufr/";
}

bool Log::Open(std::string_view path, TDateTime localNow) {
  auto& s = State();
  s.enabled = false;
  if (!AppendLine(std::string(path), LogDateLine(localNow))) return false;
  s.path = std::string(path);
  s.enabled = true;
  return true;
}

void Log::Write(std::string_view text) {
  auto& s = State();
  if (s.enabled) AppendLine(s.path, text);
}

bool Log::Enabled() { return State().enabled; }
void Log::Disable() { State().enabled = false; }

}  // namespace tern
