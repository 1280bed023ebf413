#pragma once
// Sectioned key=value settings files in cp1251. Every operation looks at the
// file as it is at that moment; a typed read gives the file's value only when
// the section and the key exist and the text is valid for the type.
#include <string>
#include <string_view>

#include "base/DateTime.h"
#include "base/Text.h"

namespace tern {

class TMyIniFile {
 public:
  explicit TMyIniFile(std::string path) : path_(std::move(path)) {}
  const std::string& FileName() const { return path_; }

  std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
  int ReadInteger(std::string_view section, std::string_view key, int def) const;
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;
  double ReadFloat(std::string_view section, std::string_view key, double def) const;
  TDateTime ReadDate(std::string_view section, std::string_view key, TDateTime def) const;
  TDateTime ReadTime(std::string_view section, std::string_view key, TDateTime def) const;
  TDateTime ReadDateTime(std::string_view section, std::string_view key, TDateTime def) const;

  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  void ReadSection(std::string_view section, TextList& keys) const;
  void ReadSectionValues(std::string_view section, TextList& lines) const;
  TextList ReadSections() const;

  // Writes replace the value or append the key to its section, creating the
  // section and the file when needed; every other line stays as it was. The
  // file is replaced atomically. A failure throws TernError naming the file.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int value);
  void WriteBool(std::string_view section, std::string_view key, bool value);
  void WriteFloat(std::string_view section, std::string_view key, double value);
  void WriteDate(std::string_view section, std::string_view key, TDateTime value);
  void WriteTime(std::string_view section, std::string_view key, TDateTime value);
  void WriteDateTime(std::string_view section, std::string_view key, TDateTime value);
  void EraseSection(std::string_view section);
  void DeleteKey(std::string_view section, std::string_view key);

 private:
  std::string path_;
};

// Float as the settings files write it: point decimal, up to 15 significant digits.
std::string FloatToText(double value);

}  // namespace tern
