#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace tern::fuzz {

const std::string& ScratchFolder() {
  static const std::string folder = [] {
    char templ[] = "/tmp/tern2bufr-fuzz-XXXXXX";
    if (!mkdtemp(templ)) throw std::runtime_error("mkdtemp");
    return std::string(templ) + "/";
  }();
  return folder;
}

std::string WriteScratch(std::string_view name, const uint8_t* data, size_t size) {
  const std::string path = ScratchFolder() + std::string(name);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + path);
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
  return path;
}

std::string WriteScratch(std::string_view name, std::string_view text) {
  return WriteScratch(name, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::string_view Piece(std::string_view& rest, char separator) {
  const size_t p = rest.find(separator);
  std::string_view piece = rest.substr(0, p);
  rest = p == std::string_view::npos ? std::string_view() : rest.substr(p + 1);
  return piece;
}

}  // namespace tern::fuzz
