// The plain list file: any bytes decode to rows or to an error, and rows that
// decode encode and decode again to the same rows.
#include "fuzz_support.h"
#include "store/list_file.h"

namespace missivo {
namespace {

void Check(std::string_view plain) {
  const Result<std::vector<Row>> rows = DecodeListFile(plain);
  if (!rows.ok()) {
    fuzz::Require(!rows.message().empty(), "a failure says what is wrong");
    return;
  }
  fuzz::Require(plain.starts_with(kListFileMagic), "only a list file with its magic loads");
  const Result<std::string> encoded = EncodeListFile(rows.value());
  fuzz::Require(encoded.ok(), "rows that loaded can be saved");
  fuzz::Require(encoded.value().size() <= plain.size(), "the saved list is no longer than read");
  const Result<std::vector<Row>> again = DecodeListFile(encoded.value());
  fuzz::Require(again.ok() && again.value() == rows.value(),
                "saved rows load again as the same rows");
  fuzz::Require(EncodeListFile(again.value()).value() == encoded.value(),
                "a saved list saves to the same bytes");
}

}  // namespace
}  // namespace missivo

MISSIVO_FUZZ_TEXT_TARGET(missivo::Check)
