#include "transmit/NetFailure.h"

#include <curl/curl.h>

#include "base/Text.h"

namespace tern {
namespace {

struct ReasonRow {
  TNetFailure failure;
  const char* text;  // UTF-8
};

constexpr ReasonRow kReasons[] = {
    {TNetFailure::HostUnknown, "Сервер не найден"},
    {TNetFailure::Refused, "Сервер отказал в соединении"},
    {TNetFailure::NoAnswer, "Сервер не отвечает"},
    {TNetFailure::ConnectionLost, "Соединение с сервером прервано"},
    {TNetFailure::LoginRefused, "Сервер отказал во входе (имя или пароль)"},
    {TNetFailure::TLSRefused, "Сервер не дал перейти на TLS"},
    {TNetFailure::TLSFailed, "Не удалось установить защищенное соединение"},
    {TNetFailure::FolderMissing, "Нет папки назначения на сервере"},
    {TNetFailure::ListingTooLong, "Список файлов на сервере не получен целиком"},
    {TNetFailure::SenderRefused, "Сервер отказал отправителю"},
    {TNetFailure::RecipientRefused, "Сервер отказал получателю"},
    {TNetFailure::MessageRefused, "Сервер не принял сообщение"},
    {TNetFailure::Other, "Ошибка связи с сервером"},
};

struct CurlRow {
  CURLcode code;
  TNetFailure failure;
};

constexpr CurlRow kCurlCodes[] = {
    {CURLE_COULDNT_RESOLVE_HOST, TNetFailure::HostUnknown},
    {CURLE_COULDNT_CONNECT, TNetFailure::Refused},
    {CURLE_OPERATION_TIMEDOUT, TNetFailure::NoAnswer},
    {CURLE_FTP_ACCEPT_TIMEOUT, TNetFailure::NoAnswer},
    {CURLE_GOT_NOTHING, TNetFailure::ConnectionLost},
    {CURLE_RECV_ERROR, TNetFailure::ConnectionLost},
    {CURLE_SEND_ERROR, TNetFailure::ConnectionLost},
    {CURLE_PARTIAL_FILE, TNetFailure::ConnectionLost},
    {CURLE_FTP_ACCEPT_FAILED, TNetFailure::ConnectionLost},
    {CURLE_LOGIN_DENIED, TNetFailure::LoginRefused},
    {CURLE_USE_SSL_FAILED, TNetFailure::TLSRefused},
    {CURLE_SSL_CONNECT_ERROR, TNetFailure::TLSFailed},
    {CURLE_PEER_FAILED_VERIFICATION, TNetFailure::TLSFailed},
    {CURLE_SSL_CACERT_BADFILE, TNetFailure::TLSFailed},
    {CURLE_REMOTE_ACCESS_DENIED, TNetFailure::Other},
};

}  // namespace

TNetFailure NetFailureOfCurl(int code) {
  if (code == CURLE_OK) return TNetFailure::None;
  for (const CurlRow& row : kCurlCodes)
    if (row.code == code) return row.failure;
  return TNetFailure::Other;
}

std::string NetFailureText(TNetFailure failure, const std::string& detail) {
  for (const ReasonRow& row : kReasons) {
    if (row.failure != failure) continue;
    return detail.empty() ? cp(row.text) : cp(row.text) + ": " + detail;
  }
  return detail;
}

}  // namespace tern
