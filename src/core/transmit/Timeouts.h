#pragma once
// How long a transfer waits on a server that has gone quiet. A time-out of 0
// in the settings stands for these, so that a server that accepts and then
// says nothing fails within a time an operator can wait for.
#include <cstdint>

namespace tern {

constexpr uint32_t kDefaultConnectTimeoutMs = 30000;  // up to the server's first answer
constexpr uint32_t kDefaultAnswerTimeoutMs = 60000;   // for each answer after that

constexpr uint32_t ConnectTimeoutMs(uint32_t configured) {
  return configured ? configured : kDefaultConnectTimeoutMs;
}
constexpr uint32_t AnswerTimeoutMs(uint32_t configured) { return configured ? configured : kDefaultAnswerTimeoutMs; }

}  // namespace tern
