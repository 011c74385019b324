#include "store/list_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "core/atomic_file.h"
#include "store/container.h"

namespace missivo {
namespace {

constexpr std::size_t kCountSize = 2;
constexpr std::size_t kImageSize = 4;
// The fewest bytes a row takes: its sub-item count, image and caption length.
constexpr std::size_t kMinRowSize = kCountSize + kImageSize + kCountSize;

void PutU16(std::string& out, std::size_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void PutI32(std::string& out, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<char>((bits >> shift) & 0xFF));
}

void PutText(std::string& out, const std::string& text) {
  PutU16(out, text.size());
  out += text;
}

// The encoded size of `rows`, or a failure when a count or length is too big.
Result<std::size_t> EncodedSize(const std::vector<Row>& rows) {
  if (rows.size() > kListFileLimit) {
    return Status::Failure("The list has " + std::to_string(rows.size()) +
                           " rows; a list file holds at most 65535.");
  }
  std::size_t size = kListFileMagic.size() + kCountSize;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const Row& row = rows[r];
    const std::string row_name = "Row " + std::to_string(r + 1);
    if (row.sub_items.size() > kListFileLimit) {
      return Status::Failure(row_name + " has " + std::to_string(row.sub_items.size()) +
                             " sub-items; a list file holds at most 65535 per row.");
    }
    size += kCountSize + kImageSize + kCountSize + row.caption.size();
    bool too_long = row.caption.size() > kListFileLimit;
    for (const std::string& text : row.sub_items) {
      size += kCountSize + text.size();
      too_long = too_long || text.size() > kListFileLimit;
    }
    if (too_long) {
      return Status::Failure(row_name +
                             " holds a text longer than 65535 bytes, the most a list file holds.");
    }
  }
  return size;
}

// Reads the fields of a list file front to back; every read checks that the
// bytes are there.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}

  std::size_t Remaining() const { return bytes_.size(); }

  bool U16(std::size_t& value) {
    if (!Has(2)) return false;
    value = Byte(0) | (Byte(1) << 8);
    bytes_.remove_prefix(2);
    return true;
  }

  bool I32(std::int32_t& value) {
    if (!Has(4)) return false;
    const std::uint32_t bits = Byte(0) | (Byte(1) << 8) | (Byte(2) << 16) | (Byte(3) << 24);
    value = static_cast<std::int32_t>(bits);
    bytes_.remove_prefix(4);
    return true;
  }

  // A text field: all L bytes are consumed, the text ends at the first zero byte.
  bool Text(std::string& text) {
    std::size_t length = 0;
    if (!U16(length) || !Has(length)) return false;
    const std::string_view field = bytes_.substr(0, length);
    const void* zero = std::memchr(field.data(), 0, field.size());
    text.assign(field.data(),
                zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - field.data())
                     : field.size());
    bytes_.remove_prefix(length);
    return true;
  }

 private:
  bool Has(std::size_t count) const { return bytes_.size() >= count; }
  std::uint32_t Byte(std::size_t i) const { return static_cast<unsigned char>(bytes_[i]); }

  std::string_view bytes_;
};

// A count is no promise: room is made only for what the bytes left can hold,
// so a few bytes claiming 65535 rows or sub-items take no megabytes.
bool ReadRow(Reader& reader, Row& row) {
  std::size_t count = 0;
  if (!reader.U16(count) || !reader.I32(row.image) || !reader.Text(row.caption)) return false;
  row.sub_items.reserve(std::min(count, reader.Remaining() / kCountSize));
  for (std::size_t i = 0; i < count; ++i) {
    if (!reader.Text(row.sub_items.emplace_back())) return false;
  }
  return true;
}

std::string Prefixed(const std::filesystem::path& path, const std::string& reason) {
  return QuotedFileName(path) + ": " + reason;
}

}  // namespace

bool StartsWithListFileMagic(std::string_view bytes) {
  return bytes.starts_with(kListFileMagic);
}

Result<std::string> EncodeListFile(const std::vector<Row>& rows) {
  const Result<std::size_t> size = EncodedSize(rows);
  if (!size.ok()) return size.status();
  std::string out;
  out.reserve(size.value());
  out += kListFileMagic;
  PutU16(out, rows.size());
  for (const Row& row : rows) {
    PutU16(out, row.sub_items.size());
    PutI32(out, row.image);
    PutText(out, row.caption);
    for (const std::string& text : row.sub_items)
      PutText(out, text);
  }
  return out;
}

SalvagedRows SalvageListFile(std::string_view plain) {
  SalvagedRows read;
  if (!StartsWithListFileMagic(plain)) {
    read.damage = Status::Failure(
        "The content does not begin with \"LVF\": it is no list file, or it is locked under "
        "another password.");
    return read;
  }
  Reader reader(plain.substr(kListFileMagic.size()));
  std::size_t count = 0;
  if (!reader.U16(count)) {
    read.damage = Status::Failure("The list file ends before its row count.");
    return read;
  }
  read.rows.reserve(std::min(count, reader.Remaining() / kMinRowSize));
  for (std::size_t r = 0; r < count; ++r) {
    if (!ReadRow(reader, read.rows.emplace_back())) {
      read.rows.pop_back();
      read.damage = Status::Failure("The list file ends inside row " + std::to_string(r + 1) +
                                    " of " + std::to_string(count) + ".");
      return read;
    }
  }
  return read;
}

Result<std::vector<Row>> DecodeListFile(std::string_view plain) {
  SalvagedRows read = SalvageListFile(plain);
  if (!read.damage.ok()) return read.damage;
  return std::move(read.rows);
}

Status WriteListFile(const std::vector<Row>& rows, const std::filesystem::path& path) {
  Result<std::string> plain = EncodeListFile(rows);
  if (!plain.ok()) {
    return Status::Failure("Cannot save " + QuotedFileName(path) + ": " + plain.message() +
                           " The file was left as it was.");
  }
  return WriteSealedFile(path, std::move(plain).value(), kFixedPassphrase);
}

Result<std::vector<Row>> ReadListFile(const std::filesystem::path& path) {
  Result<std::string> plain = UnsealFile(path, kFixedPassphrase);
  if (!plain.ok()) return plain.status();
  Result<std::vector<Row>> rows = DecodeListFile(plain.value());
  if (!rows.ok()) return Status::Failure(Prefixed(path, rows.message()));
  return rows;
}

Result<bool> SealIfPlainListFile(const std::filesystem::path& path) {
  if (!FileExists(path)) return false;
  Result<std::string> bytes = ReadWholeFile(path);
  if (!bytes.ok()) return bytes.status();
  if (!StartsWithListFileMagic(bytes.value())) return false;
  if (Status status = WriteSealedFile(path, std::move(bytes).value(), kFixedPassphrase);
      !status.ok()) {
    return status;
  }
  return true;
}

}  // namespace missivo
