#include "bufr/BufrFile.h"

#include "base/Error.h"
#include "base/Files.h"
#include "base/Text.h"
#include "bufr/BufrMessage.h"
#include "sounding/UAMessage.h"

namespace tern {

std::string BufrFileNameOf(std::string_view sourceFile, std::string_view heading, bool shortName,
                           std::string_view cccc, TDateTime launchTime, std::string_view stationIndText) {
  std::string h;
  for (char ch : heading)
    if (static_cast<unsigned char>(ch) > 32) h += ch;
  std::string name = ExtractFilePath(sourceFile) + "A_" + h;
  if (!shortName) name += "_C_" + std::string(cccc) + "_" + FormatDateTime("yyyymmddhhnn", launchTime);
  return name + "_" + std::string(stationIndText) + ".bin";
}

std::string WrapInEnvelope(std::string_view bulletinNo, std::string_view heading, std::string_view message) {
  if (bulletinNo.empty()) throw TernError(cp("Не задан номер бюллетеня для файла BUFR"));
  if (heading.empty()) throw TernError(cp("Не задан заголовок бюллетеня для файла BUFR"));
  static constexpr std::string_view kLineEnd = "\r\r\n";
  std::string out;
  out.reserve(message.size() + bulletinNo.size() + heading.size() + 16);
  out += '\x01';
  out += kLineEnd;
  out += bulletinNo;
  out += kLineEnd;
  out += heading;
  out += kLineEnd;
  out += message;
  out += kLineEnd;
  out += '\x03';
  return out;
}

void TUAMessage::MakeBufrFileName() {
  BufrFileName = BufrFileNameOf(SourceFile, Heading, ShortName, CCCC, LaunchTime, StationIndText);
}

bool TUAMessage::EncodeBufr() {
  try {
    // A reader that fails quietly has already told the operator or been cancelled.
    if (LevelCount == 0 && !LoadData()) return false;
    if (BufrFileName.empty()) throw TernError(cp("Не задано имя файла BUFR"));
    const std::string message = BuildBufrMessage(*this);
    // The whole file is composed first and replaces the old one in one step, so a
    // failure never leaves a half-written message for the transport to pick up.
    WriteFileAtomic(BufrFileName, WMOMssgFmt ? WrapInEnvelope(BulletinNo, Heading, message) : message);
    return true;
  } catch (const TernError& e) {
    Op().Message(e.Text());
  } catch (const std::exception& e) {
    Op().Message(e.what());
  }
  return false;
}

}  // namespace tern
