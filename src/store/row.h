// One row of a list: the messages list, the archive or the phonebook.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace missivo {

// A row as the list views hold it: a caption, its sub-items and an image index
// (-1 for none). Message rows carry five sub-items (From, Date/Time, Size,
// Index, Type); contact rows one (the number). Texts are Windows-1251.
struct Row {
  std::string caption;
  std::vector<std::string> sub_items;
  std::int32_t image = -1;

  friend bool operator==(const Row&, const Row&) = default;
};

// Positions of the message row's sub-items.
enum MessageField : std::size_t {
  kFrom = 0,
  kDateTime = 1,
  kSize = 2,
  kIndex = 3,
  kType = 4,
  kMessageFieldCount = 5,
};

// Position of the contact row's number.
inline constexpr std::size_t kNumber = 0;

// Image indexes of the rows.
inline constexpr std::int32_t kImageImported = 0;
inline constexpr std::int32_t kImageDraft = 1;
inline constexpr std::int32_t kImageIncoming = 2;
inline constexpr std::int32_t kImageOutgoing = 28;
inline constexpr std::int32_t kImageContact = 30;

// The sub-item at `index`, or an empty text when the row has fewer.
inline const std::string& SubItem(const Row& row, std::size_t index) {
  static const std::string kEmpty;
  return index < row.sub_items.size() ? row.sub_items[index] : kEmpty;
}

}  // namespace missivo
