#include "transmit/smtp/MailComposer.h"

#include <gmime/gmime.h>
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>

#include "base/Error.h"
#include "transmit/smtp/HeaderWords.h"
#include "transmit/smtp/XXEncode.h"

namespace tern {
namespace {

void EnsureGMime() {
  static std::once_flag once;
  std::call_once(once, [] { g_mime_init(); });
}

struct GObjectDeleter {
  void operator()(gpointer p) const {
    if (p) g_object_unref(p);
  }
};
template <typename T>
using GRef = std::unique_ptr<T, GObjectDeleter>;

const char* IconvName(TMailCharset charset) {
  switch (charset) {
    case TMailCharset::Windows1251: return "CP1251";
    case TMailCharset::Koi8R: return "KOI8-R";
    case TMailCharset::Utf7: return "UTF-7";
    case TMailCharset::Utf8: return "UTF-8";
  }
  return "UTF-8";
}

GMimeContentEncoding GMimeEncodingOf(TMailEncoding encoding) {
  switch (encoding) {
    case TMailEncoding::SevenBit: return GMIME_CONTENT_ENCODING_7BIT;
    case TMailEncoding::EightBit: return GMIME_CONTENT_ENCODING_8BIT;
    case TMailEncoding::QuotedPrintable: return GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE;
    case TMailEncoding::Base64: return GMIME_CONTENT_ENCODING_BASE64;
    case TMailEncoding::UUEncode: return GMIME_CONTENT_ENCODING_UUENCODE;
    case TMailEncoding::XXEncode: return GMIME_CONTENT_ENCODING_DEFAULT;
  }
  return GMIME_CONTENT_ENCODING_DEFAULT;
}

void SetContent(GMimePart* part, std::string_view bytes, GMimeContentEncoding encoding) {
  GRef<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(bytes.data(), bytes.size()));
  GRef<GMimeDataWrapper> wrapper(g_mime_data_wrapper_new_with_stream(stream.get(), GMIME_CONTENT_ENCODING_DEFAULT));
  g_mime_part_set_content(part, wrapper.get());
  if (encoding != GMIME_CONTENT_ENCODING_DEFAULT) g_mime_part_set_content_encoding(part, encoding);
}

// The bulletin's lines as canonical text: lines end with CR LF.
std::string CanonicalLines(std::string_view text) {
  std::string out;
  for (const std::string& line : SplitLines(text)) out += line + "\r\n";
  return out;
}

GMimeObject* NewTextPart(const tSMTPTaskRecord& task, std::string_view text, bool relayTakes8Bit) {
  GMimeTextPart* part = g_mime_text_part_new_with_subtype("plain");
  std::string lines = CanonicalLines(text);
  if (!task.RawText) lines = ConvertFromCp1251(lines, task.TextCharset);
  const TMailEncoding encoding = TextPartEncoding(task.Encoding, lines, relayTakes8Bit);
  if (encoding == TMailEncoding::XXEncode) {
    SetContent(GMIME_PART(part), XXEncode(lines, "text.txt"), GMIME_CONTENT_ENCODING_DEFAULT);
    g_mime_object_set_header(GMIME_OBJECT(part), "Content-Transfer-Encoding", "x-xxencode", nullptr);
  } else {
    SetContent(GMIME_PART(part), lines, GMimeEncodingOf(encoding));
  }
  g_mime_text_part_set_charset(part, MailCharsetName(TextPartCharset(task)));
  g_mime_object_set_disposition(GMIME_OBJECT(part), GMIME_DISPOSITION_INLINE);
  return GMIME_OBJECT(part);
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(NativePath(path), std::ios::binary);
  std::ostringstream data;
  if (in) data << in.rdbuf();
  if (!in || in.bad()) throw TernError(path + cp(":Файл не найден!"));
  return data.str();
}

// Content type of an attachment by its extension; BUFR files are opaque bytes.
std::pair<const char*, const char*> ContentTypeOf(std::string_view path) {
  std::string ext = LowerCase(ExtractFileExt(path));
  if (ext == ".txt") return {"text", "plain"};
  return {"application", "octet-stream"};
}

GMimeObject* NewFilePart(const std::string& path) {
  auto [type, subtype] = ContentTypeOf(path);
  GMimePart* part = g_mime_part_new_with_type(type, subtype);
  SetContent(part, ReadWholeFile(path), GMIME_CONTENT_ENCODING_BASE64);
  g_mime_object_set_disposition(GMIME_OBJECT(part), GMIME_DISPOSITION_ATTACHMENT);
  g_mime_part_set_filename(part, Cp1251ToUtf8(ExtractFileName(path)).c_str());
  return GMIME_OBJECT(part);
}

// Writes a header exactly as given: the mail library would cut non-ASCII
// text into words at blanks, which some decoders then lose.
void SetEncodedHeader(GMimeObject* object, const char* name, const std::string& value) {
  g_mime_object_set_header(object, name, "-", nullptr);
  GMimeHeader* header = g_mime_header_list_get_header(g_mime_object_get_header_list(object), name);
  g_mime_header_set_raw_value(header, (" " + value + "\n").c_str());
}

}  // namespace

std::string ConvertFromCp1251(std::string_view text, TMailCharset charset) {
  if (charset == TMailCharset::Windows1251) return std::string(text);
  std::string utf8 = Cp1251ToUtf8(text);
  if (charset == TMailCharset::Utf8) return utf8;
  iconv_t cd = iconv_open(IconvName(charset), "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw TernError(std::string("iconv ") + IconvName(charset));
  std::string out;
  char buffer[1024];
  char* in = utf8.data();
  size_t inLeft = utf8.size();
  bool flushing = false;
  while (true) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    size_t rc = flushing ? iconv(cd, nullptr, nullptr, &outPtr, &outLeft) : iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    if (rc != static_cast<size_t>(-1)) {
      if (flushing) break;
      flushing = true;
      continue;
    }
    if (errno == E2BIG) continue;
    // A character the target lacks: replace the whole UTF-8 sequence.
    size_t skip = 1;
    while (skip < inLeft && (static_cast<unsigned char>(in[skip]) & 0xC0) == 0x80) ++skip;
    in += skip;
    inLeft -= skip;
    char question[] = "?";
    char* q = question;
    size_t qLeft = 1;
    outPtr = buffer;
    outLeft = sizeof buffer;
    iconv(cd, &q, &qLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
  }
  iconv_close(cd);
  return out;
}

TMailCharset TextPartCharset(const tSMTPTaskRecord& task) {
  return task.RawText ? TMailCharset::Windows1251 : task.TextCharset;
}

TMailEncoding TextPartEncoding(TMailEncoding configured, std::string_view bytes, bool relayTakes8Bit) {
  if (configured != TMailEncoding::SevenBit && configured != TMailEncoding::EightBit) return configured;
  const bool eightBit =
      std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  if (!eightBit) return configured;
  return relayTakes8Bit ? TMailEncoding::EightBit : TMailEncoding::QuotedPrintable;
}

std::string ComposeMailMessage(const tSMTPTaskRecord& task, bool relayTakes8Bit) {
  EnsureGMime();
  GRef<GMimeMessage> message(g_mime_message_new(TRUE));
  GMimeObject* top = GMIME_OBJECT(message.get());

  const TMailCharset charset = task.HeaderCharset;
  SetEncodedHeader(top, "From", EncodeAddressList(task.From, charset));
  SetEncodedHeader(top, "To", EncodeAddressList(task.To, charset));
  if (!task.Cc.empty()) SetEncodedHeader(top, "Cc", EncodeAddressList(task.Cc, charset));
  SetEncodedHeader(top, "Subject", EncodeHeaderText(task.Subject, charset));
  GDateTime* now = g_date_time_new_now_local();
  g_mime_message_set_date(message.get(), now);
  g_date_time_unref(now);
  char* id = g_mime_utils_generate_message_id("tern2bufr");
  g_mime_message_set_message_id(message.get(), id);
  g_free(id);
  if (!task.ReceiptAddress.empty())
    SetEncodedHeader(top, "Return-Receipt-To", EncodeAddressList(task.ReceiptAddress, charset));
  if (!task.NotificationAddress.empty())
    SetEncodedHeader(top, "Disposition-Notification-To", EncodeAddressList(task.NotificationAddress, charset));

  std::vector<GRef<GMimeObject>> parts;
  if (task.TextMode) {
    parts.emplace_back(NewTextPart(task, task.Body, relayTakes8Bit));
  } else {
    if (task.Mixed && task.ForceMixed) parts.emplace_back(NewTextPart(task, "", relayTakes8Bit));
    parts.emplace_back(NewFilePart(task.Body));
  }
  if (task.Mixed) {
    GRef<GMimeMultipart> mixed(g_mime_multipart_new_with_subtype("mixed"));
    for (auto& part : parts) g_mime_multipart_add(mixed.get(), part.get());
    g_mime_message_set_mime_part(message.get(), GMIME_OBJECT(mixed.get()));
  } else {
    g_mime_message_set_mime_part(message.get(), parts.back().get());
  }

  GMimeFormatOptions* options = g_mime_format_options_new();
  g_mime_format_options_set_newline_format(options, GMIME_NEWLINE_FORMAT_DOS);
  GRef<GMimeStream> out(g_mime_stream_mem_new());
  g_mime_object_write_to_stream(top, options, out.get());
  g_mime_format_options_free(options);
  GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out.get()));
  return std::string(reinterpret_cast<const char*>(bytes->data), bytes->len);
}

}  // namespace tern
