#include "app/exchange_texts.h"

#include "text/default_language.h"

namespace missivo {

std::string ExchangeText(const LanguageLines& language, std::string_view key) {
  if (std::string text = language.LangText(key); text != "---") return text;
  LanguageLines russian;
  russian.LoadFromBytes(DefaultRussianFileBytes());
  return russian.LangText(key);
}

std::string ExchangeText(const LanguageLines& language, std::string_view key,
                         const std::string& first, const std::string& second) {
  std::string text = ExchangeText(language, key);
  for (const auto& [mark, value] : {std::pair{"%1", &first}, std::pair{"%2", &second}}) {
    if (const std::size_t at = text.find(mark); at != std::string::npos) {
      text.replace(at, 2, *value);
    }
  }
  return text;
}

std::optional<MessageFormat> ExchangeFormatOfFileType(int file_type) {
  constexpr MessageFormat kFormats[] = {MessageFormat::kAndroidXml, MessageFormat::kCsv,
                                        MessageFormat::kJson, MessageFormat::kHtmlPage};
  const int at = file_type - kFirstExchangeFileType;
  if (at < 0 || at >= 4) return std::nullopt;
  return kFormats[at];
}

}  // namespace missivo
