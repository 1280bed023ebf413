#include "config/MailAddresses.h"

#include <algorithm>

#include "transmit/smtp/SMTPTask.h"

namespace tern {
namespace {

bool IsControl(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u < 0x20 || u == 0x7F;
}

// Blanks of cp1251: the space and the no-break space.
bool IsBlankOrControl(char c) { return IsControl(c) || c == ' ' || static_cast<unsigned char>(c) == 0xA0; }

}  // namespace

bool IsMailAddress(std::string_view bare) {
  if (bare.empty() || bare.front() == '-') return false;
  if (std::any_of(bare.begin(), bare.end(), IsBlankOrControl)) return false;
  if (bare.find_first_of("<>\":") != std::string_view::npos) return false;
  const size_t at = bare.find('@');
  return at != std::string_view::npos && at > 0 && at + 1 < bare.size() && bare.find('@', at + 1) == std::string_view::npos;
}

bool IsMailAddressItem(std::string_view item) {
  if (item.empty() || item.front() == '-') return false;
  if (std::any_of(item.begin(), item.end(), IsControl)) return false;
  // A mail client takes an item that begins "mailto:" for a whole message
  // request (with attachments of its own); outside quotes a ":" has no place.
  bool quoted = false;
  for (char c : item) {
    if (c == '"') quoted = !quoted;
    if (c == ':' && !quoted) return false;
  }
  return IsMailAddress(BareAddress(item));
}

bool IsMailAddressList(std::string_view list) {
  // Checked on the whole value: the list split trims control characters at
  // the ends of its items, and the value itself must not carry any either.
  if (std::any_of(list.begin(), list.end(), IsControl)) return false;
  const TextList items = SplitAddressList(list);
  return std::all_of(items.begin(), items.end(),
                     [](const std::string& item) { return item.empty() || IsMailAddressItem(item); });
}

}  // namespace tern
