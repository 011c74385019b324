// Data the phone tests share: replies captured from real phones (tests/data/replies)
// and the built-in Russian language.
#pragma once

#include <string>
#include <string_view>

#include "support/test_support.h"
#include "text/default_language.h"
#include "text/language.h"

namespace missivo::test {

// The captured reply with every lone LF made CR LF: where the capture kept only
// LF, the phone sent CR LF.
inline std::string ReplyFixture(std::string_view name) {
  const std::string raw =
      ReadBytes(std::string(MISSIVO_TEST_DATA) + "/replies/" + std::string(name));
  std::string reply;
  reply.reserve(raw.size() + raw.size() / 16);
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\n' && (i == 0 || raw[i - 1] != '\r')) reply.push_back('\r');
    reply.push_back(raw[i]);
  }
  return reply;
}

// The language lines of the default Russian file.
inline LanguageLines RussianLanguage() {
  LanguageLines language;
  language.LoadFromBytes(DefaultRussianFileBytes());
  return language;
}

}  // namespace missivo::test
