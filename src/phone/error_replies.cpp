#include "phone/error_replies.h"

#include <algorithm>
#include <cctype>

#include "phone/at_exchange.h"
#include "phone/message_send.h"
#include "phone/standard/standard_replies.h"
#include "text/lines.h"

namespace missivo {
namespace {

// The last line of a reply that is not empty.
std::string LastLine(std::string_view reply) {
  std::string last;
  for (const std::string& line : SplitAnyBreak(reply)) {
    if (!TrimBlanks(line).empty()) last = line;
  }
  return last;
}

bool ContainsNoCase(std::string_view text, std::string_view words) {
  return std::search(text.begin(), text.end(), words.begin(), words.end(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) ==
                  std::tolower(static_cast<unsigned char>(b));
         }) != text.end();
}

}  // namespace

std::string ErrorReplyText(std::string_view reply) {
  if (!IsErrorReply(reply)) return {};
  const std::string last = LastLine(reply);
  const std::optional<int> code = ParseErrorCode(reply);
  if (!code || !last.starts_with("+CMS ERROR")) return last;
  const std::string_view meaning = CmsErrorMeaning(*code);
  return meaning.empty() ? last : last + " (" + std::string(meaning) + ")";
}

bool IsBusyReply(std::string_view reply) {
  if (!IsErrorReply(reply)) return false;
  const std::string last = LastLine(reply);
  const std::optional<int> code = ParseErrorCode(reply);
  if (code) {
    if (*code == 515) return true;
    return last.starts_with("+CMS ERROR") ? *code == 314 : *code == 14;
  }
  return ContainsNoCase(last, "SIM busy") || ContainsNoCase(last, "please wait");
}

}  // namespace missivo
