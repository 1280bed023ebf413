#include <gmime/gmime.h>
#include <gtest/gtest.h>

#include <sstream>

#include "TestSupport.h"
#include "base/Error.h"
#include "transmit/smtp/MailComposer.h"
#include "transmit/smtp/XXEncode.h"

namespace tern {
namespace {

// The composed message read back by the mail library's parser.
class Parsed {
 public:
  explicit Parsed(const std::string& bytes) {
    GMimeStream* stream = g_mime_stream_mem_new_with_buffer(bytes.data(), bytes.size());
    GMimeParser* parser = g_mime_parser_new_with_stream(stream);
    message_ = g_mime_parser_construct_message(parser, nullptr);
    g_object_unref(parser);
    g_object_unref(stream);
  }
  ~Parsed() {
    if (message_) g_object_unref(message_);
  }
  GMimeMessage* get() const { return message_; }
  GMimeObject* body() const { return g_mime_message_get_mime_part(message_); }
  std::string header(const char* name) const {
    const char* v = g_mime_object_get_header(GMIME_OBJECT(message_), name);
    return v ? v : "";
  }
  // Leaf parts in order.
  std::vector<GMimeObject*> leaves() const {
    std::vector<GMimeObject*> out;
    GMimePartIter* iter = g_mime_part_iter_new(GMIME_OBJECT(message_));
    do {
      GMimeObject* o = g_mime_part_iter_get_current(iter);
      if (o && GMIME_IS_PART(o)) out.push_back(o);
    } while (g_mime_part_iter_next(iter));
    g_mime_part_iter_free(iter);
    return out;
  }

 private:
  GMimeMessage* message_ = nullptr;
};

std::string TypeOf(GMimeObject* o) {
  GMimeContentType* t = g_mime_object_get_content_type(o);
  return std::string(g_mime_content_type_get_media_type(t)) + "/" + g_mime_content_type_get_media_subtype(t);
}

std::string DecodedContent(GMimeObject* o) {
  GMimeDataWrapper* w = g_mime_part_get_content(GMIME_PART(o));
  GMimeStream* out = g_mime_stream_mem_new();
  g_mime_data_wrapper_write_to_stream(w, out);
  GByteArray* a = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out));
  std::string s(reinterpret_cast<char*>(a->data), a->len);
  g_object_unref(out);
  return s;
}

std::string RawContent(GMimeObject* o) {
  GMimeStream* s = g_mime_data_wrapper_get_stream(g_mime_part_get_content(GMIME_PART(o)));
  GMimeStream* out = g_mime_stream_mem_new();
  g_mime_stream_reset(s);
  g_mime_stream_write_to_stream(s, out);
  GByteArray* a = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out));
  std::string r(reinterpret_cast<char*>(a->data), a->len);
  g_object_unref(out);
  return r;
}

// Raw value of a header field in the composed bytes, folding removed.
std::string RawHeader(const std::string& bytes, const std::string& name) {
  size_t at = bytes.find("\r\n" + name + ": ");
  if (at == std::string::npos) return {};
  at += name.size() + 4;
  std::string value;
  while (true) {
    size_t end = bytes.find("\r\n", at);
    value += bytes.substr(at, end - at);
    at = end + 2;
    if (bytes[at] != ' ' && bytes[at] != '\t') return value;
  }
}

// An independent reading of B-encoded words: each decoded alone, blanks
// between adjacent words dropped.
std::string DecodeWords(const std::string& value) {
  std::string out, pendingBlank;
  size_t at = 0;
  bool lastWasWord = false;
  while (at < value.size()) {
    if (value.compare(at, 2, "=?") == 0) {
      size_t q1 = value.find('?', at + 2), q2 = value.find('?', q1 + 1), end = value.find("?=", q2 + 1);
      std::string charset = value.substr(at + 2, q1 - at - 2);
      std::string data = value.substr(q2 + 1, end - q2 - 1);
      gsize n = 0;
      guchar* bytes = g_base64_decode(data.c_str(), &n);
      gchar* utf8 = g_convert(reinterpret_cast<char*>(bytes), static_cast<gssize>(n), "UTF-8", charset.c_str(),
                              nullptr, nullptr, nullptr);
      if (!lastWasWord) out += pendingBlank;
      out += utf8 ? utf8 : "<bad word>";
      g_free(utf8);
      g_free(bytes);
      pendingBlank.clear();
      lastWasWord = true;
      at = end + 2;
    } else if (value[at] == ' ' || value[at] == '\t') {
      pendingBlank += value[at++];
    } else {
      out += pendingBlank;
      pendingBlank.clear();
      lastWasWord = false;
      out += value[at++];
    }
  }
  return out + pendingBlank;
}

tSMTPTaskRecord TextTask() {
  tSMTPTaskRecord t;
  t.TextMode = true;
  t.From = cp("\"Станция Долгопрудный\" <st@example.org>");
  t.To = cp("a@example.org, \"Иванов, И.\" <b@example.org>");
  t.Cc = "c@example.org";
  t.Bcc = "hidden@example.org";
  t.Subject = cp("Бюллетень TTAA 27612");
  t.Body = cp("USUS01 RUMS 091200\r\r\nTTAA 59121 27612 Привет=\r\r\nNNNN");
  return t;
}

TEST(MailComposer, HeadersCarryAddressesButNeverBcc) {
  tSMTPTaskRecord t = TextTask();
  std::string bytes = ComposeMailMessage(t);
  Parsed m(bytes);
  ASSERT_NE(m.get(), nullptr);
  EXPECT_EQ(bytes.find("hidden@example.org"), std::string::npos);
  EXPECT_EQ(m.header("Bcc"), "");
  InternetAddressList* to = g_mime_message_get_to(m.get());
  ASSERT_EQ(internet_address_list_length(to), 2);
  EXPECT_STREQ(internet_address_get_name(internet_address_list_get_address(to, 1)), "Иванов, И.");
  EXPECT_STREQ(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(internet_address_list_get_address(to, 1))),
               "b@example.org");
  EXPECT_EQ(internet_address_list_length(g_mime_message_get_cc(m.get())), 1);
  EXPECT_EQ(DecodeWords(RawHeader(bytes, "From")), "Станция Долгопрудный <st@example.org>");
  EXPECT_EQ(DecodeWords(RawHeader(bytes, "To")), "a@example.org, Иванов, И. <b@example.org>");
  EXPECT_NE(m.header("Date"), "");
  EXPECT_EQ(m.header("MIME-Version"), "1.0");
  EXPECT_EQ(m.header("Return-Receipt-To"), "");
  EXPECT_EQ(m.header("Disposition-Notification-To"), "");

  t.Cc = "";
  t.ReceiptAddress = t.NotificationAddress = "st@example.org";
  Parsed r(ComposeMailMessage(t));
  EXPECT_EQ(r.header("Cc"), "");
  EXPECT_EQ(r.header("Return-Receipt-To"), "st@example.org");
  EXPECT_EQ(r.header("Disposition-Notification-To"), "st@example.org");
}

TEST(MailComposer, SubjectIsEncodedInTheHeaderCharset) {
  struct Case {
    TMailCharset charset;
    std::vector<std::string> labels;  // acceptable spellings of the charset in the encoded word
  };
  const Case cases[] = {
      {TMailCharset::Windows1251, {"windows-1251", "cp1251"}},
      {TMailCharset::Koi8R, {"koi8-r"}},
      {TMailCharset::Utf7, {"utf-7"}},
      {TMailCharset::Utf8, {"utf-8"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(MailCharsetName(c.charset));
    tSMTPTaskRecord t = TextTask();
    t.HeaderCharset = c.charset;
    std::string bytes = ComposeMailMessage(t);
    size_t at = bytes.find("\r\nSubject: =?");
    ASSERT_NE(at, std::string::npos);
    std::string label = LowerCase(bytes.substr(at + 13, bytes.find('?', at + 13) - at - 13));
    EXPECT_NE(std::find(c.labels.begin(), c.labels.end(), label), c.labels.end()) << label;
    EXPECT_EQ(DecodeWords(RawHeader(bytes, "Subject")), "Бюллетень TTAA 27612");

    // A long subject needs several words; each must hold whole characters.
    t.Subject = cp("Сводка TEMP за девятое декабря две тысячи двадцать шестого года, станция Долгопрудный");
    std::string longer = RawHeader(ComposeMailMessage(t), "Subject");
    EXPECT_EQ(DecodeWords(longer), Cp1251ToUtf8(t.Subject));
    std::istringstream tokens(longer);
    size_t words = 0;
    for (std::string word; tokens >> word; ++words) {
      EXPECT_LE(word.size(), 75u) << word;
      EXPECT_EQ(DecodeWords(word).find("<bad word>"), std::string::npos) << word;
    }
    EXPECT_GT(words, 1u);
  }
}

TEST(MailComposer, PlainAsciiHeadersStayReadable) {
  tSMTPTaskRecord t = TextTask();
  t.Subject = "TTAA 27612 091200";
  t.From = "Station 27612 <st@example.org>";
  std::string bytes = ComposeMailMessage(t);
  EXPECT_EQ(RawHeader(bytes, "Subject"), "TTAA 27612 091200");
  EXPECT_EQ(RawHeader(bytes, "From"), "Station 27612 <st@example.org>");
}

TEST(MailComposer, TextIsConvertedToTheTextCharsetUnlessRaw) {
  const std::string lines = "USUS01 RUMS 091200\r\nTTAA 59121 27612 ";
  struct Case {
    TMailCharset charset;
    bool raw;
    std::string word;   // "Привет=" as it must arrive
    const char* label;  // the charset the part declares
  };
  // Raw text keeps its cp1251 bytes, so it says windows-1251 whatever the setting.
  const Case cases[] = {
      {TMailCharset::Windows1251, false, "\xCF\xF0\xE8\xE2\xE5\xF2=", "windows-1251"},
      {TMailCharset::Koi8R, false, "\xF0\xD2\xC9\xD7\xC5\xD4=", "koi8-r"},
      {TMailCharset::Utf8, false, "Привет=", "utf-8"},
      {TMailCharset::Utf7, false, "+BB8EQAQ4BDIENQRCAD0", "utf-7"},  // '=' may be encoded too
      {TMailCharset::Koi8R, true, "\xCF\xF0\xE8\xE2\xE5\xF2=", "windows-1251"},
      {TMailCharset::Utf8, true, "\xCF\xF0\xE8\xE2\xE5\xF2=", "windows-1251"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(MailCharsetName(c.charset)) + (c.raw ? " raw" : ""));
    tSMTPTaskRecord t = TextTask();
    t.TextCharset = c.charset;
    t.RawText = c.raw;
    t.Encoding = TMailEncoding::Base64;
    Parsed m(ComposeMailMessage(t));
    auto leaves = m.leaves();
    ASSERT_EQ(leaves.size(), 1u);
    EXPECT_STREQ(g_mime_object_get_content_type_parameter(leaves[0], "charset"), c.label);
    EXPECT_EQ(DecodedContent(leaves[0]), lines + c.word + "\r\nNNNN\r\n");
  }
}

TEST(MailComposer, CharactersTheCharsetLacksBecomeQuestionMarks) {
  // KOI8-R has no numero sign; the rest of the line must survive.
  EXPECT_EQ(ConvertFromCp1251(cp("№ 5 Да"), TMailCharset::Koi8R), "? 5 \xE4\xC1");
}

TEST(MailComposer, EveryTransferEncodingDecodesBackToTheText) {
  struct Case {
    TMailEncoding encoding;
    std::string header;
  };
  // Composed for a relay that takes 8-bit data: 7bit would lie about the
  // Cyrillic bytes, so they go as 8bit.
  const Case cases[] = {
      {TMailEncoding::SevenBit, "8bit"},
      {TMailEncoding::EightBit, "8bit"},
      {TMailEncoding::QuotedPrintable, "quoted-printable"},
      {TMailEncoding::Base64, "base64"},
      {TMailEncoding::UUEncode, "x-uuencode"},
      {TMailEncoding::XXEncode, "x-xxencode"},
  };
  const std::string expected = cp("USUS01 RUMS 091200\r\nTTAA 59121 27612 Привет=\r\nNNNN\r\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.header);
    tSMTPTaskRecord t = TextTask();
    t.TextCharset = TMailCharset::Windows1251;
    t.Encoding = c.encoding;
    std::string bytes = ComposeMailMessage(t, true);
    EXPECT_NE(bytes.find("\r\nContent-Transfer-Encoding: " + c.header + "\r\n"), std::string::npos);
    Parsed m(bytes);
    auto leaves = m.leaves();
    ASSERT_EQ(leaves.size(), 1u);
    std::string text = c.encoding == TMailEncoding::XXEncode ? XXDecode(RawContent(leaves[0])) : DecodedContent(leaves[0]);
    EXPECT_EQ(text, expected);
  }
}

TEST(MailComposer, EightBitBytesNeverTravelAsSevenBit) {
  struct Case {
    TMailEncoding configured;
    bool eightBitText, relayTakes8Bit;
    TMailEncoding chosen;
  };
  using E = TMailEncoding;
  const Case cases[] = {
      {E::SevenBit, true, true, E::EightBit},         {E::SevenBit, true, false, E::QuotedPrintable},
      {E::EightBit, true, true, E::EightBit},         {E::EightBit, true, false, E::QuotedPrintable},
      {E::SevenBit, false, false, E::SevenBit},       {E::EightBit, false, false, E::EightBit},
      {E::QuotedPrintable, true, true, E::QuotedPrintable}, {E::Base64, true, false, E::Base64},
      {E::UUEncode, true, false, E::UUEncode},        {E::XXEncode, true, true, E::XXEncode},
  };
  for (const Case& c : cases) {
    const std::string text = c.eightBitText ? cp("СЛОЙ 27612=") : "TTAA 59121 27612=";
    EXPECT_EQ(TextPartEncoding(c.configured, text, c.relayTakes8Bit), c.chosen)
        << static_cast<int>(c.configured) << " " << c.eightBitText << " " << c.relayTakes8Bit;
  }
}

TEST(MailComposer, PartStructureFollowsMixedAndForceMixed) {
  test::TempDir dir;
  const std::string bufr("BUFR\x00\x00\x1e\x04\r\n.\r\n\xff\xfe" "7777", 20);
  test::WriteBytes(dir / "A_IUSD01RUMS091200_C_RUMS_20261209120000.bin", bufr);
  struct Case {
    bool text, mixed, force;
    bool multipart;
    std::vector<std::string> leaves;
  };
  const Case cases[] = {
      {false, true, true, true, {"text/plain", "application/octet-stream"}},
      {false, true, false, true, {"application/octet-stream"}},
      {false, false, true, false, {"application/octet-stream"}},
      {true, true, true, true, {"text/plain"}},
      {true, false, true, false, {"text/plain"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "text " << c.text << " mixed " << c.mixed << " force " << c.force);
    tSMTPTaskRecord t = TextTask();
    t.TextMode = c.text;
    t.Mixed = c.mixed;
    t.ForceMixed = c.force;
    if (!c.text) t.Body = dir / "A_IUSD01RUMS091200_C_RUMS_20261209120000.bin";
    Parsed m(ComposeMailMessage(t));
    EXPECT_EQ(GMIME_IS_MULTIPART(m.body()), c.multipart);
    if (c.multipart) {
      EXPECT_EQ(TypeOf(m.body()), "multipart/mixed");
    }
    auto leaves = m.leaves();
    ASSERT_EQ(leaves.size(), c.leaves.size());
    for (size_t i = 0; i < leaves.size(); ++i) EXPECT_EQ(TypeOf(leaves[i]), c.leaves[i]);
    GMimeObject* last = leaves.back();
    if (c.text) {
      EXPECT_STREQ(g_mime_object_get_disposition(last), "inline");
      continue;
    }
    if (leaves.size() == 2) {
      EXPECT_EQ(DecodedContent(leaves[0]), "");
    }
    EXPECT_STREQ(g_mime_object_get_disposition(last), "attachment");
    EXPECT_STREQ(g_mime_part_get_filename(GMIME_PART(last)), "A_IUSD01RUMS091200_C_RUMS_20261209120000.bin");
    EXPECT_EQ(g_mime_part_get_content_encoding(GMIME_PART(last)), GMIME_CONTENT_ENCODING_BASE64);
    EXPECT_EQ(DecodedContent(last), bufr);
  }
}

TEST(MailComposer, MissingAttachmentNamesTheFile) {
  tSMTPTaskRecord t = TextTask();
  t.TextMode = false;
  t.Body = "/nonexistent/A_ISUD01.bin";
  try {
    ComposeMailMessage(t);
    FAIL() << "no error";
  } catch (const TernError& e) {
    EXPECT_EQ(e.Text(), "/nonexistent/A_ISUD01.bin" + cp(":Файл не найден!"));
  }
}

TEST(XXEncode, KnownLineAndBlockBoundaries) {
  EXPECT_EQ(XXEncode("Cat", "c.txt"), "begin 644 c.txt\r\n1Eq3o\r\n+\r\nend\r\n");
  EXPECT_EQ(XXEncode("", "e"), "begin 644 e\r\n+\r\nend\r\n");
  for (size_t n : {1u, 44u, 45u, 46u, 90u, 200u}) {
    SCOPED_TRACE(n);
    std::string data;
    for (size_t i = 0; i < n; ++i) data += static_cast<char>((i * 37 + 11) & 0xFF);
    std::string text = XXEncode(data, "d.bin");
    EXPECT_EQ(XXDecode(text), data);
    for (const std::string& line : SplitLines(text)) EXPECT_LE(line.size(), 61u);
  }
}

}  // namespace
}  // namespace tern
