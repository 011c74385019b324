// Data the phone tests share: replies captured from real phones (tests/data/replies)
// and the built-in Russian language.
#pragma once

#include <string>
#include <string_view>

#include "support/test_support.h"
#include "text/default_language.h"
#include "text/language.h"

namespace missivo::test {

// The captured bytes with every lone LF made CR LF: where the capture kept only
// LF, the phone sent CR LF.
inline std::string WithCrLf(const std::string& raw) {
  std::string reply;
  reply.reserve(raw.size() + raw.size() / 16);
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\n' && (i == 0 || raw[i - 1] != '\r')) reply.push_back('\r');
    reply.push_back(raw[i]);
  }
  return reply;
}

// A captured reply of tests/data/replies, lone LFs made CR LF.
inline std::string ReplyFixture(std::string_view name) {
  return WithCrLf(ReadBytes(std::string(MISSIVO_TEST_DATA) + "/replies/" + std::string(name)));
}

// A captured reply of a standard device (tests/data/standard-replies), lone LFs made CR LF.
inline std::string StandardReplyFixture(std::string_view name) {
  return WithCrLf(
      ReadBytes(std::string(MISSIVO_TEST_DATA) + "/standard-replies/" + std::string(name)));
}

// The language lines of the default Russian file.
inline LanguageLines RussianLanguage() {
  LanguageLines language;
  language.LoadFromBytes(DefaultRussianFileBytes());
  return language;
}

}  // namespace missivo::test
