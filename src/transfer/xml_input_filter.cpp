#include "transfer/xml_input_filter.h"

#include <array>
#include <string>

namespace missivo {
namespace {

// Longer runs after "&#" are no reference the filter needs to look at.
constexpr std::size_t kLongestReference = 24;

constexpr std::array<std::string_view, 2> kDeclarations = {"<!DOCTYPE", "<!ENTITY"};

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The value of a complete numeric reference "&#...;" or "&#x...;".
char32_t ValueOf(std::string_view reference) {
  const bool hex = reference[2] == 'x';
  char32_t value = 0;
  for (char c : reference.substr(hex ? 3 : 2, reference.size() - (hex ? 4 : 3))) {
    const char32_t digit = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
    value = value * (hex ? 16 : 10) + digit;
    if (value > 0x10FFFF) return 0x110000;
  }
  return value;
}

bool IsHigh(char32_t v) {
  return v >= 0xD800 && v <= 0xDBFF;
}
bool IsLow(char32_t v) {
  return v >= 0xDC00 && v <= 0xDFFF;
}

// "&#" + the value in decimal, zero-padded so the whole is `length` bytes, + ";".
void AppendPadded(std::string& out, char32_t value, std::size_t length) {
  const std::string digits = std::to_string(value);
  out += "&#";
  if (length > digits.size() + 3) out.append(length - digits.size() - 3, '0');
  out += digits;
  out += ';';
}

// Whether `c` may continue the reference begun in `pending`.
bool Continues(const std::string& pending, char c) {
  if (pending.size() == 1) return c == '#';
  if (pending.size() == 2) return c == 'x' || (c >= '0' && c <= '9');
  const bool hex = pending[2] == 'x';
  if (c == ';') return pending.size() > (hex ? 3u : 2u);
  return hex ? IsHex(c) : (c >= '0' && c <= '9');
}

}  // namespace

bool XmlInputFilter::Filter(std::string_view in, bool end, std::string& out) {
  if (!error_.empty()) return false;
  out.reserve(out.size() + in.size());
  std::size_t plain_from = 0;
  for (std::size_t i = 0; i < in.size(); ++i) {
    const char c = in[i];
    Track(c);
    if (!error_.empty()) {
      Plain(in.substr(plain_from, i + 1 - plain_from), out);
      return false;
    }
    if (pending_.empty() && c != '&') continue;  // plain bytes go out in one piece
    Plain(in.substr(plain_from, i - plain_from), out);
    plain_from = i + 1;
    Byte(c, out);
  }
  Plain(in.substr(plain_from), out);
  if (end) {
    FlushPending(out);
    FlushHeld(out);
  }
  return true;
}

void XmlInputFilter::Track(char c) {
  if (c == '\n') {
    ++line_;
    column_ = 0;
  } else {
    ++column_;
  }
  // Neither declaration repeats its first byte, so a mismatch restarts at '<'.
  for (std::size_t d = 0; d < kDeclarations.size(); ++d) {
    const std::string_view declaration = kDeclarations[d];
    std::size_t& matched = matched_[d];
    matched = c == declaration[matched] ? matched + 1 : (c == '<' ? 1 : 0);
    if (matched < declaration.size()) continue;
    error_ = "the file declares a document type or entities (" + std::string(declaration) +
             "), which SMS backups never do; entity definitions are refused";
    error_line_ = line_;
    error_column_ = column_ - declaration.size() + 1;
    return;
  }
}

void XmlInputFilter::Plain(std::string_view bytes, std::string& out) {
  if (bytes.empty()) return;
  FlushHeld(out);
  out.append(bytes);
}

void XmlInputFilter::Byte(char c, std::string& out) {
  if (pending_.empty()) {  // c is '&'
    pending_.push_back(c);
    return;
  }
  if (!Continues(pending_, c) || pending_.size() >= kLongestReference) {
    FlushPending(out);
    if (c == '&') {
      pending_.push_back(c);
    } else {
      Plain(std::string_view(&c, 1), out);
    }
    return;
  }
  pending_.push_back(c);
  if (c == ';') Reference(out);
}

void XmlInputFilter::Reference(std::string& out) {
  const char32_t value = ValueOf(pending_);
  if (!held_.empty()) {
    if (IsLow(value)) {
      const char32_t joined = 0x10000 + ((held_value_ - 0xD800) << 10) + (value - 0xDC00);
      AppendPadded(out, joined, held_.size() + pending_.size());
      held_.clear();
      pending_.clear();
      return;
    }
    FlushHeld(out);
  }
  if (IsHigh(value)) {
    held_ = std::move(pending_);
    held_value_ = value;
  } else if (IsLow(value)) {
    ++lone_surrogates_;
    AppendPadded(out, 0xFFFD, pending_.size());
  } else {
    out += pending_;
  }
  pending_.clear();
}

void XmlInputFilter::FlushPending(std::string& out) {
  if (pending_.empty()) return;
  std::string pending = std::move(pending_);
  pending_.clear();
  Plain(pending, out);
}

void XmlInputFilter::FlushHeld(std::string& out) {
  if (held_.empty()) return;
  ++lone_surrogates_;
  AppendPadded(out, 0xFFFD, held_.size());
  held_.clear();
}

}  // namespace missivo
