// Settings files: any bytes must read without a crash, and a value written
// must read back as written.
#include <cstdlib>

#include "FuzzSupport.h"
#include "base/Error.h"
#include "config/MyIniFile.h"

using namespace tern;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteScratch("fuzz.cnf", data, size);
  TMyIniFile ini(path);
  TextList lines;
  for (const std::string& section : ini.ReadSections()) {
    ini.ReadSectionValues(section, lines);
    for (const std::string& line : lines) {
      const std::string key = line.substr(0, line.find('='));
      ini.ReadInteger(section, key, 0);
      ini.ReadFloat(section, key, 0);
      ini.ReadDateTime(section, key, 0);
    }
  }
  ini.WriteString("Fuzz", "Key", "value 1");
  if (ini.ReadString("Fuzz", "Key", "") != "value 1") std::abort();
  ini.EraseSection("Fuzz");
  return 0;
}
