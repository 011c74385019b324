#include "app/read_trouble.h"

#include "phone/read_command.h"

namespace missivo {

std::string ReadTroubleText(const ReadCommandResult& result, const LanguageLines& language) {
  if (result.archived_saved < result.archived) return language.LangText(kArchiveNotSavedLine);
  if (!result.refusal.empty())
    return FillIn(language.LangText(kListingRefusedLine), {result.refusal});
  if (result.unreadable > 0) {
    return FillIn(language.LangText(kUnreadableLine), {std::to_string(result.unreadable)});
  }
  return {};
}

}  // namespace missivo
