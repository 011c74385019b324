#include "transfer/sms_record.h"

namespace missivo {
namespace {

constexpr std::pair<SmsKind, const char*> kKindNames[] = {
    {SmsKind::kIncoming, "incoming"},
    {SmsKind::kOutgoing, "outgoing"},
    {SmsKind::kDraft, "draft"},
    {SmsKind::kImported, "imported"},
};

}  // namespace

const char* KindName(SmsKind kind) {
  for (const auto& [k, name] : kKindNames) {
    if (k == kind) return name;
  }
  return "imported";
}

std::optional<SmsKind> KindOfName(std::string_view name) {
  for (const auto& [kind, k] : kKindNames) {
    if (name == k) return kind;
  }
  return std::nullopt;
}

}  // namespace missivo
