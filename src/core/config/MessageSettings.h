#pragma once
// How the station's messages leave the desk (ASPD.CNF): send modes and save
// folders, the layout of the TEMP, layer and surface-layer bulletins and the
// mail addresses and subjects. Read once at start-up; the send workflow, the
// bulletin builders and the windows all look at the same object.
#include <array>
#include <string>

#include "base/Operator.h"
#include "config/MyIniFile.h"

namespace tern {

// Send modes of a message class.
enum class TextMode { Clipboard = 0, SaveFolder = 1, FTP = 2, MAPI = 3, SMTP = 4 };
enum class BufrMode { KeepFile = 0, CopyFolder = 1, FTP = 2, MAPI = 3, SMTP = 4 };

struct tSpoolingSettings {
  TextMode Text = TextMode::SaveFolder;
  std::string TextFolder;  // empty, or ends with a separator or ':'
  BufrMode Bufr = BufrMode::CopyFolder;
  std::string BufrFolder;  // used in copy-folder mode only
};

// TEMP parts are indexed 0..3 for TTAA, TTBB, TTCC, TTDD.
struct tTempSettings {
  std::array<std::string, 4> Head;        // heading line(s) with date fields and a BBB placeholder
  std::array<std::string, 4> OrgSecHead{"TTAA", "TTBB", "TTCC", "TTDD"};  // how the part starts in the file
  std::array<std::string, 4> SecHead{"TTAA ", "TTBB ", "TTCC ", "TTDD "};  // what starts it in the bulletin
  std::string OrgSep = "=";
  std::string Sep = "=";
  std::string CRLF = "\r\n";
  std::string Tail = "\r\nNNNN";
  std::string BBBHead = " ";
  std::string BBBTail = " ";
};

struct tPrizSettings {
  std::string Head;
  std::string SecHead;
  std::string CRLF = "\r\n";
  std::string OrgSep;  // empty: the file has no end marker
  std::string Sep;
  std::string Tail;
  std::string BBBHead;
  std::string BBBTail;
};

struct tLayerSettings {
  std::string Head;
  std::string OrgSecHead = cp("СЛОЙ");
  std::string SecHead;
  std::string OrgSep;  // empty: the message line has no separator
  std::string Sep;
  std::string Tail;
  bool AsIs = false;
  bool Loc = false;
  bool YYGG = false;
  bool YYGG1st = false;
  bool NoIndex = false;
  bool Mph = false;
  std::string YYGGChar = "0";  // at most one character
  int UTCBias = 0;             // -12..12
  std::string BBBHead = " ";   // these two live in [FM35]
  std::string BBBTail = " ";
};

// Message tags of the send buttons: 1..4 TEMP parts, 5 layer, 6 surface layer, 7 BUFR I, 8 BUFR II.
constexpr int kTagCount = 8;

struct tMailSettings {
  std::string From;
  std::string To;   // comma-separated
  std::string CC;   // comma-separated, empty = none
  std::string BCC;  // comma-separated, empty = none
  // Subject templates by tag - 1; a text section fills tags 1..6, a binary one 7..8.
  std::array<std::string, kTagCount> Subject;
  const std::string& SubjectFor(int tag) const;
};

struct TMessageSettings {
  tSpoolingSettings Spooling;
  tTempSettings Temp;
  tPrizSettings Priz;
  tLayerSettings Layer;
  tMailSettings MailText;
  tMailSettings MailBinary;
};

// Folds a mode into 0..4 by absolute value, whatever integer the file holds.
int FoldMode(int value);
// A save folder as configured: blanks trimmed and a separator added unless it
// already ends with one or with a drive colon. Empty stays empty.
std::string NormaliseSaveFolder(const std::string& value);

// [SPOOLING]: modes and folders. A configured folder that does not exist is
// reported to the operator and dropped.
void ReadSpooling(const TMyIniFile& ini, tSpoolingSettings& out, IOperator& op);
void ReadTempSettings(const TMyIniFile& ini, tTempSettings& out);
void ReadPrizSettings(const TMyIniFile& ini, tPrizSettings& out);
void ReadLayerSettings(const TMyIniFile& ini, tLayerSettings& out);
// A key whose value is not a list of mail addresses raises TernError naming
// the section and the key.
void ReadMailText(const TMyIniFile& ini, tMailSettings& out);
void ReadMailBinary(const TMyIniFile& ini, tMailSettings& out);

// Every section above in start-up order ([SPOOLING], the mail sections the
// modes need, [Priz], [FM35], [SLOY]); the transfer sections are read by
// their own readers.
void ReadMessageSettings(const TMyIniFile& ini, TMessageSettings& out, IOperator& op);

}  // namespace tern
