#include "config/MessageSettings.h"

#include <cstdlib>

#include "base/Error.h"
#include "base/Files.h"
#include "base/Text.h"
#include "config/HeadingTemplate.h"
#include "config/MailAddresses.h"

namespace tern {

namespace {

// One text key of a section: where it goes and what it is when absent.
template <typename Settings>
struct TextKey {
  const char* key;
  std::string Settings::*field;
  const char* def;
  bool decoded;
};

template <typename Settings>
struct FlagKey {
  const char* key;
  bool Settings::*field;
};

template <typename Settings, size_t N>
void ReadTextKeys(const TMyIniFile& ini, const char* section, const TextKey<Settings> (&keys)[N],
                  Settings& out) {
  for (const auto& k : keys) {
    std::string value = ini.ReadString(section, k.key, k.def);
    out.*k.field = k.decoded ? DecodeEscapes(value) : value;
  }
}

constexpr char kFM35[] = "FM35";
constexpr char kPartLetters[] = "ABCD";
constexpr const char* kPartNames[] = {"TTAA", "TTBB", "TTCC", "TTDD"};

const TextKey<tPrizSettings> kPrizKeys[] = {
    {"PrizHead", &tPrizSettings::Head, "", true},
    {"PrizSecHead", &tPrizSettings::SecHead, "", true},
    {"CRLF", &tPrizSettings::CRLF, "\r\n", true},
    {"PrizOrgSep", &tPrizSettings::OrgSep, "", true},
    {"PrizSep", &tPrizSettings::Sep, "", true},
    {"PrizTail", &tPrizSettings::Tail, "", true},
    {"PrizBBBHead", &tPrizSettings::BBBHead, "", true},
    {"PrizBBBTail", &tPrizSettings::BBBTail, "", true},
};

const TextKey<tLayerSettings> kLayerKeys[] = {
    {"SLOYHead", &tLayerSettings::Head, "", true},
    {"SLOYSecHead", &tLayerSettings::SecHead, "", true},
    {"SLOYOrgSep", &tLayerSettings::OrgSep, "", true},
    {"SLOYSep", &tLayerSettings::Sep, "", true},
    {"SLOYTail", &tLayerSettings::Tail, "", true},
};

const FlagKey<tLayerSettings> kLayerFlags[] = {
    {"SLOYAsIs", &tLayerSettings::AsIs},       {"SLOYLoc", &tLayerSettings::Loc},
    {"SLOYYYGG", &tLayerSettings::YYGG},       {"SLOYYYGG1st", &tLayerSettings::YYGG1st},
    {"SLOYNoIndex", &tLayerSettings::NoIndex}, {"SLOYmph", &tLayerSettings::Mph},
};

const TextKey<tTempSettings> kTempKeys[] = {
    {"TEMPOrgSep", &tTempSettings::OrgSep, "=", true},
    {"TEMPSep", &tTempSettings::Sep, "", true},
    {"CRLF", &tTempSettings::CRLF, "\r\n", true},
    {"TEMPTail", &tTempSettings::Tail, "\r\nNNNN", true},
    {"TEMPBBBHead", &tTempSettings::BBBHead, " ", true},
    {"TEMPBBBTail", &tTempSettings::BBBTail, " ", true},
};

const TextKey<tMailSettings> kMailKeys[] = {
    {"MailFrom", &tMailSettings::From, "", false},
    {"MailTo", &tMailSettings::To, "", false},
    // No built-in copy recipient: a desk should not copy a station's mail to
    // an address nobody configured.
    {"CCTo", &tMailSettings::CC, "", false},
    {"BCCTo", &tMailSettings::BCC, "", false},
};

struct SubjectKey {
  int tag;
  const char* key;
  const char* def;
};

const SubjectKey kTextSubjects[] = {
    {1, "SubjA", "TTAA:{yyyymmdd-hh}"},    {2, "SubjB", "TTBB:{yyyymmdd-hh}"},
    {3, "SubjC", "TTCC:{yyyymmdd-hh}"},    {4, "SubjD", "TTDD:{yyyymmdd-hh}"},
    {5, "SubjSLOY", "SLOY:{yyyymmdd-hh}"}, {6, "SubjPriz", "PRIZ:{yyyymmdd-hh}"},
};

const SubjectKey kBinarySubjects[] = {
    {7, "Subj2AB", "IUK:{yyyymmdd-hh}"},
    {8, "Subj2ABCD", "IUS:{yyyymmdd-hh}"},
};

template <size_t N>
void ReadMail(const TMyIniFile& ini, const char* section, const SubjectKey (&subjects)[N], tMailSettings& out) {
  ReadTextKeys(ini, section, kMailKeys, out);
  // The addresses reach the relay and the mail client's command line as they
  // stand: a value that is not a list of addresses stops the start.
  for (const auto& k : kMailKeys)
    if (!IsMailAddressList(out.*k.field))
      throw TernError(section + cp("-ошибка загрузки настроек!\rНеверный адрес в ключе ") + k.key);
  for (const auto& s : subjects) out.Subject[s.tag - 1] = ini.ReadString(section, s.key, s.def);
}

std::string ReadFolder(const TMyIniFile& ini, const char* key, IOperator& op) {
  std::string folder = NormaliseSaveFolder(ini.ReadString("SPOOLING", key, ""));
  if (!folder.empty() && !FolderExists(folder)) {
    op.Message(folder + cp(" папка не найдена!"));
    folder.clear();
  }
  return folder;
}

}  // namespace

const std::string& tMailSettings::SubjectFor(int tag) const {
  static const std::string none;
  return tag >= 1 && tag <= kTagCount ? Subject[tag - 1] : none;
}

int FoldMode(int value) { return static_cast<int>(std::llabs(static_cast<long long>(value)) % 5); }

std::string NormaliseSaveFolder(const std::string& value) {
  std::string folder = Trim(value);
  if (folder.empty()) return folder;
  const char last = folder.back();
  if (last != ':' && !IsPathSeparator(last)) folder += '/';
  return folder;
}

void ReadSpooling(const TMyIniFile& ini, tSpoolingSettings& out, IOperator& op) {
  out.Text = static_cast<TextMode>(FoldMode(ini.ReadInteger("SPOOLING", "TLG", 1)));
  out.TextFolder = ReadFolder(ini, "TLGSave", op);
  out.Bufr = static_cast<BufrMode>(FoldMode(ini.ReadInteger("SPOOLING", "BUFR", 1)));
  // The copy folder matters only when files are copied there; in other modes
  // it is kept as written and never checked.
  if (out.Bufr == BufrMode::CopyFolder)
    out.BufrFolder = ReadFolder(ini, "BUFRSave", op);
  else
    out.BufrFolder = Trim(ini.ReadString("SPOOLING", "BUFRSave", ""));
}

void ReadTempSettings(const TMyIniFile& ini, tTempSettings& out) {
  for (int p = 0; p < 4; ++p) {
    const std::string letter(1, kPartLetters[p]);
    out.Head[p] = DecodeEscapes(ini.ReadString(kFM35, letter + "Head", ""));
    out.OrgSecHead[p] = DecodeEscapes(ini.ReadString(kFM35, letter + "OrgSecHead", kPartNames[p]));
    out.SecHead[p] = DecodeEscapes(ini.ReadString(kFM35, letter + "SecHead", ""));
  }
  for (int p = 0; p < 4; ++p)
    if (out.SecHead[p].empty()) out.SecHead[p] = out.OrgSecHead[p] + " ";
  ReadTextKeys(ini, kFM35, kTempKeys, out);
  if (out.Sep.empty()) out.Sep = out.OrgSep;
}

void ReadPrizSettings(const TMyIniFile& ini, tPrizSettings& out) { ReadTextKeys(ini, "Priz", kPrizKeys, out); }

void ReadLayerSettings(const TMyIniFile& ini, tLayerSettings& out) {
  ReadTextKeys(ini, "SLOY", kLayerKeys, out);
  out.OrgSecHead = DecodeEscapes(ini.ReadString("SLOY", "SLOYOrgSecHead", cp("СЛОЙ")));
  for (const auto& f : kLayerFlags) out.*f.field = ini.ReadBool("SLOY", f.key, false);
  out.YYGGChar = ini.ReadString("SLOY", "YYGGChar", "0").substr(0, 1);
  // A truncating remainder keeps the sign: 14 gives 1, -14 gives -1.
  out.UTCBias = ini.ReadInteger("SLOY", "UTCBias", 0) % 13;
  out.BBBHead = DecodeEscapes(ini.ReadString(kFM35, "SLOYBBBHead", " "));
  out.BBBTail = DecodeEscapes(ini.ReadString(kFM35, "SLOYBBBTail", " "));
}

void ReadMailText(const TMyIniFile& ini, tMailSettings& out) { ReadMail(ini, "MAILTXT", kTextSubjects, out); }

void ReadMailBinary(const TMyIniFile& ini, tMailSettings& out) { ReadMail(ini, "MAILBIN", kBinarySubjects, out); }

void ReadMessageSettings(const TMyIniFile& ini, TMessageSettings& out, IOperator& op) {
  ReadSpooling(ini, out.Spooling, op);
  if (out.Spooling.Text == TextMode::MAPI || out.Spooling.Text == TextMode::SMTP) ReadMailText(ini, out.MailText);
  if (out.Spooling.Bufr == BufrMode::MAPI || out.Spooling.Bufr == BufrMode::SMTP) ReadMailBinary(ini, out.MailBinary);
  ReadPrizSettings(ini, out.Priz);
  ReadTempSettings(ini, out.Temp);
  ReadLayerSettings(ini, out.Layer);
}

}  // namespace tern
