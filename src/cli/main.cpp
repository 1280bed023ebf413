// tern2bufr-cli: the desk's core without windows, for scripts and cron jobs.
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "CliCommands.h"
#include "app/HeadlessTransports.h"
#include "app/SendCommand.h"
#include "base/Error.h"
#include "base/Text.h"

using namespace tern;

namespace {

const char kUsage[] =
    "usage: tern2bufr-cli [-C SETTINGS_FOLDER] COMMAND ...\n"
    "  open ASCENT\n"
    "  levels ASCENT (--bufr1|--bufr2)\n"
    "  qc ASCENT (--bufr1|--bufr2)\n"
    "  bufr ASCENT (--bufr1|--bufr2) [--bbb BBB] [--bulletin N] [--radiosonde INDEX] [--number N]\n"
    "       [--repeated] [--observer TEXT] [--serial TEXT] [--balloon INDEX] [--gas INDEX]\n"
    "       [--lift KG] [--train M] [--termination INDEX]\n"
    "  bulletin ASCENT (TTAA|TTBB|TTCC|TTDD|SLOY|PRIZ) [--bbb BBB] [--radiosonde INDEX]\n"
    "  send ASCENT (TTAA|TTBB|TTCC|TTDD|SLOY|PRIZ|BUFR1|BUFR2) [--bbb BBB] [--radiosonde INDEX] [--number N]\n"
    "       [--repeated] [--observer TEXT] [--serial TEXT] [--balloon INDEX] [--gas INDEX]\n"
    "       [--lift KG] [--train M] [--termination INDEX]   (counters in ASCVAR.CNF of the current folder)\n"
    "  --rara INDEX and --repeated 0|1 are still understood by send\n"
    "  sign-codes FILE\n"
    "  check-codes FILE\n";

int Usage(const char* problem) {
  if (problem) std::fprintf(stderr, "tern2bufr-cli: %s\n", problem);
  std::fputs(kUsage, stderr);
  return 2;
}

// Options of a command: flags without value and options with one.
struct ParsedArgs {
  std::vector<std::string> positional;
  std::map<std::string, std::string> values;
  std::map<std::string, bool> flags;
};

std::optional<ParsedArgs> Parse(const std::vector<std::string>& args, const std::vector<std::string>& withValue,
                                const std::vector<std::string>& flags, std::string& problem) {
  ParsedArgs p;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.rfind("--", 0) != 0) {
      p.positional.push_back(a);
      continue;
    }
    bool known = false;
    for (const auto& f : flags)
      if (a == f) p.flags[a] = known = true;
    for (const auto& v : withValue) {
      if (a != v) continue;
      if (i + 1 >= args.size()) {
        problem = a + " needs a value";
        return std::nullopt;
      }
      p.values[a] = args[++i];
      known = true;
    }
    if (!known) {
      problem = "unknown option " + a;
      return std::nullopt;
    }
  }
  return p;
}

std::optional<int> IntOption(const ParsedArgs& p, const std::string& name, std::string& problem) {
  auto it = p.values.find(name);
  if (it == p.values.end()) return std::nullopt;
  auto v = TryParseInt(it->second);
  if (!v) problem = name + " needs a whole number";
  return v;
}

std::optional<double> RealOption(const ParsedArgs& p, const std::string& name, std::string& problem) {
  auto it = p.values.find(name);
  if (it == p.values.end()) return std::nullopt;
  auto v = TryParseReal(it->second);
  if (!v) problem = name + " needs a number";
  return v;
}

// The kind of BUFR message: exactly one of the two switches.
std::optional<bool> BufrKind(const ParsedArgs& p, std::string& problem) {
  const bool one = p.flags.count("--bufr1"), two = p.flags.count("--bufr2");
  if (one == two) {
    problem = "give exactly one of --bufr1 and --bufr2";
    return std::nullopt;
  }
  return one;
}

}  // namespace

int main(int argc, char** argv) {
  // Arguments arrive as UTF-8; core works in cp1251.
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(Utf8ToCp1251(argv[i]));
  std::string settings;
  size_t at = 0;
  if (at < args.size() && (args[at] == "-C" || args[at] == "/C" || args[at] == "-c" || args[at] == "/c")) {
    if (at + 1 >= args.size()) return Usage("-C needs a folder");
    settings = args[at + 1];
    at += 2;
  }
  if (at >= args.size()) return Usage(nullptr);
  if (args[at] == "--help" || args[at] == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  const std::string command = args[at++];
  const std::vector<std::string> rest(args.begin() + static_cast<long>(at), args.end());
  std::string problem;

  try {
    if (command == "sign-codes" || command == "check-codes") {
      if (rest.size() != 1) return Usage("give one code tables file");
      return command == "sign-codes" ? cli::SignCodes(rest[0]) : cli::CheckCodes(rest[0]);
    }
    if (command == "open") {
      if (rest.size() != 1) return Usage("give one ascent file");
      return cli::Open(settings, rest[0]);
    }
    if (command == "levels" || command == "qc") {
      auto p = Parse(rest, {}, {"--bufr1", "--bufr2"}, problem);
      if (!p || p->positional.size() != 1) return Usage(problem.empty() ? "give one ascent file" : problem.c_str());
      auto kind = BufrKind(*p, problem);
      if (!kind) return Usage(problem.c_str());
      return command == "qc" ? cli::Qc(settings, p->positional[0], *kind)
                             : cli::Levels(settings, p->positional[0], *kind);
    }
    if (command == "bufr") {
      auto p = Parse(rest, {"--bbb", "--bulletin", "--radiosonde", "--number", "--observer", "--serial", "--balloon",
                            "--gas", "--lift", "--train", "--termination"},
                     {"--bufr1", "--bufr2", "--repeated"}, problem);
      if (!p || p->positional.size() != 1) return Usage(problem.empty() ? "give one ascent file" : problem.c_str());
      auto kind = BufrKind(*p, problem);
      if (!kind) return Usage(problem.c_str());
      cli::BufrRequest r;
      r.ascent = p->positional[0];
      r.bufrI = *kind;
      r.bbb = p->values.count("--bbb") ? p->values["--bbb"] : "";
      r.bulletin = IntOption(*p, "--bulletin", problem).value_or(0);
      r.radiosonde = IntOption(*p, "--radiosonde", problem).value_or(0);
      r.number = IntOption(*p, "--number", problem);
      r.repeated = p->flags.count("--repeated") > 0;
      if (p->values.count("--observer")) r.observer = p->values["--observer"];
      if (p->values.count("--serial")) r.serial = p->values["--serial"];
      r.balloon = IntOption(*p, "--balloon", problem);
      r.gas = IntOption(*p, "--gas", problem);
      r.lift = RealOption(*p, "--lift", problem);
      r.train = RealOption(*p, "--train", problem);
      r.termination = IntOption(*p, "--termination", problem);
      if (!problem.empty()) return Usage(problem.c_str());
      return cli::Bufr(settings, r);
    }
    if (command == "send") {
      tSendRequest request;
      try {
        request = ParseSendArguments(rest);
      } catch (const TernError& e) {
        return Usage(Cp1251ToUtf8(e.Text()).c_str());
      }
      // One line per step; the line breaks of the desk's messages become blanks.
      auto lineOf = [](const std::string& cp1251) {
        std::string line = Cp1251ToUtf8(cp1251);
        for (char& c : line)
          if (c == '\r' || c == '\n') c = ' ';
        return line;
      };
      auto say = [&](const std::string& cp1251) { std::printf("%s\n", lineOf(cp1251).c_str()); };
      // Questions go where the job's errors go, so that a log of them shows why it
      // stopped; a question's lines stay lines.
      auto ask = [](const std::string& cp1251) {
        std::string text = Cp1251ToUtf8(cp1251);
        for (char& c : text)
          if (c == '\r') c = '\n';
        std::fflush(stdout);
        std::fprintf(stderr, "%s\n", text.c_str());
      };
      THeadlessTransports transports(say);
      return RunSend({"-C", settings, "-AC"}, request, transports, say, ask);
    }
    if (command == "bulletin") {
      auto p = Parse(rest, {"--bbb", "--radiosonde"}, {}, problem);
      if (!p || p->positional.size() != 2) return Usage(problem.empty() ? "give an ascent file and a message" : problem.c_str());
      const int tag = cli::BulletinTag(p->positional[1]);
      if (tag == 0) return Usage("the message is one of TTAA, TTBB, TTCC, TTDD, SLOY, PRIZ");
      const int rara = IntOption(*p, "--radiosonde", problem).value_or(-1);
      if (!problem.empty()) return Usage(problem.c_str());
      return cli::Bulletin(settings, p->positional[0], tag, p->values.count("--bbb") ? p->values["--bbb"] : "", rara);
    }
  } catch (const TernError& e) {
    std::fprintf(stderr, "%s\n", Cp1251ToUtf8(e.Text()).c_str());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return Usage(("unknown command " + command).c_str());
}
