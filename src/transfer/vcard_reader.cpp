// Reading vCard 2.1, 3.0 and 4.0 by hand: no maintained C or C++ library
// without a desktop framework behind it reads them, and the part of the format
// a phonebook needs (FN, N, TEL) is small.
#include <optional>

#include "core/atomic_file.h"
#include "text/cp1251.h"
#include "text/hex_escapes.h"
#include "transfer/utf8_text.h"
#include "transfer/vcard.h"

namespace missivo {
namespace {

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

bool IEquals(std::string_view a, std::string_view b) {
  return Upper(a) == Upper(b);
}

// One physical line and where it is.
struct Line {
  std::string_view text;
  std::size_t number;
};

std::vector<Line> PhysicalLines(std::string_view bytes) {
  std::vector<Line> lines;
  std::size_t number = 1;
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    lines.push_back({bytes.substr(start, i - start), number++});
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) lines.push_back({bytes.substr(start), number});
  return lines;
}

// A property line: [group.]NAME;PARAM=VALUE;...:value
struct Property {
  std::string name;                                         // upper case, without the group
  std::vector<std::pair<std::string, std::string>> params;  // names upper case
  std::string value;
  bool quoted_printable = false;
  std::string charset;
};

// The position of the colon that ends the name and parameters (not one
// inside a quoted parameter value), or npos.
std::size_t ValueColon(std::string_view line) {
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == ':' && !quoted) return i;
  }
  return std::string_view::npos;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> pieces;
  bool quoted = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] == '"') quoted = !quoted;
    if (i == text.size() || (text[i] == separator && !quoted)) {
      pieces.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return pieces;
}

Property ParseHead(std::string_view head) {
  Property property;
  const std::vector<std::string_view> pieces = Split(head, ';');
  std::string_view name = pieces[0];
  if (const std::size_t dot = name.rfind('.'); dot != std::string_view::npos) {
    name.remove_prefix(dot + 1);
  }
  property.name = Upper(name);
  for (std::size_t i = 1; i < pieces.size(); ++i) {
    const std::string_view piece = pieces[i];
    const std::size_t equals = piece.find('=');
    std::string key = Upper(piece.substr(0, equals));
    std::string value =
        equals == std::string_view::npos ? "" : std::string(piece.substr(equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    // vCard 2.1 writes bare parameter values: ";QUOTED-PRINTABLE", ";CELL".
    if (equals == std::string_view::npos && key == "QUOTED-PRINTABLE") {
      property.quoted_printable = true;
    }
    if (key == "ENCODING" && IEquals(value, "QUOTED-PRINTABLE")) property.quoted_printable = true;
    if (key == "CHARSET") property.charset = Upper(value);
    property.params.emplace_back(std::move(key), std::move(value));
  }
  return property;
}

// The value in UTF-8 after its charset, or nothing when it is not valid text.
std::optional<std::string> ToUtf8(std::string bytes, const std::string& charset) {
  if (charset == "WINDOWS-1251" || charset == "CP1251") return Cp1251ToUtf8(bytes);
  if (charset == "ISO-8859-1" || charset == "LATIN1" || charset == "WINDOWS-1252") {
    std::string out;
    for (const char c : bytes)
      AppendUtf8(out, static_cast<unsigned char>(c));
    return out;
  }
  if (!IsValidUtf8(bytes)) return std::nullopt;
  return bytes;
}

// A text value with the backslash escapes of 3.0 and 4.0 undone.
std::string Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out.push_back(text[i]);
      continue;
    }
    const char next = text[++i];
    out.push_back(next == 'n' || next == 'N' ? '\n' : next);
  }
  return out;
}

// The components of a structured value (N), split at unescaped semicolons.
std::vector<std::string> Components(std::string_view text) {
  std::vector<std::string> components(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      components.back() += text.substr(i, 2);
      ++i;
    } else if (text[i] == ';') {
      components.emplace_back();
    } else {
      components.back().push_back(text[i]);
    }
  }
  for (std::string& component : components)
    component = Unescape(component);
  return components;
}

std::string Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

// "Given Additional Family" of N (family;given;additional;prefix;suffix).
std::string NameOfComponents(const std::vector<std::string>& n) {
  std::string name;
  for (std::size_t i : {3u, 1u, 2u, 0u, 4u}) {
    if (i >= n.size()) continue;
    const std::string part = Trimmed(n[i]);
    if (part.empty()) continue;
    if (!name.empty()) name += ' ';
    name += part;
  }
  return name;
}

struct Card {
  std::size_t first_line = 0;
  std::string version;
  std::string formatted_name;
  std::string structured_name;
  std::vector<std::string> numbers;
};

class Reader {
 public:
  Reader(std::string_view bytes, const std::string& name)
      : lines_(PhysicalLines(bytes)), name_(name) {}

  VCardRead Run() {
    for (next_ = 0; next_ < lines_.size() && read_.ok();) {
      const std::size_t number = lines_[next_].number;
      std::string logical = Logical();
      if (!read_.ok()) break;
      Take(logical, number);
    }
    if (read_.ok() && card_) {
      Fail(card_->first_line, "the file ends inside a card (no END:VCARD)");
    }
    return std::move(read_);
  }

 private:
  // The next logical line: folded continuations joined (one leading blank
  // dropped; 2.1 keeps it), and quoted-printable soft breaks joined.
  std::string Logical() {
    const Line& first = lines_[next_++];
    std::string logical(first.text);
    const bool keeps_blank = card_ && card_->version == "2.1";
    const bool quoted_printable = IsQuotedPrintable(first.text);
    while (next_ < lines_.size()) {
      const std::string_view text = lines_[next_].text;
      const bool folded = !text.empty() && (text[0] == ' ' || text[0] == '\t');
      const bool soft_break = quoted_printable && logical.ends_with('=');
      if (!folded && !soft_break) break;
      if (folded && !soft_break) {
        logical += keeps_blank ? text : text.substr(1);
      } else {
        logical.pop_back();  // the soft break's '='
        logical += text;
      }
      ++next_;
      if (logical.size() > kLongestLine) break;
    }
    if (logical.size() > kLongestLine) {
      Fail(first.number, "a line of over " + std::to_string(kLongestLine >> 20) + " MB");
    }
    return logical;
  }

  static bool IsQuotedPrintable(std::string_view logical) {
    const std::size_t colon = ValueColon(logical);
    return colon != std::string_view::npos && ParseHead(logical.substr(0, colon)).quoted_printable;
  }

  void Take(const std::string& logical, std::size_t number) {
    if (Trimmed(logical).empty()) return;
    const std::size_t colon = ValueColon(logical);
    if (colon == std::string::npos) {
      Fail(number, "a line without ':' (not a vCard property)");
      return;
    }
    Property property = ParseHead(std::string_view(logical).substr(0, colon));
    const std::string_view raw = std::string_view(logical).substr(colon + 1);
    if (property.name == "BEGIN" && IEquals(Trimmed(raw), "VCARD")) {
      if (card_) {
        Fail(number, "BEGIN:VCARD inside the card that starts at line " +
                         std::to_string(card_->first_line));
        return;
      }
      card_.emplace();
      card_->first_line = number;
      return;
    }
    if (!card_) {
      Fail(number, "text outside BEGIN:VCARD ... END:VCARD");
      return;
    }
    if (property.name == "END" && IEquals(Trimmed(raw), "VCARD")) {
      EndCard();
      return;
    }
    if (property.name == "VERSION") {
      card_->version = Trimmed(raw);
      return;
    }
    if (property.name != "FN" && property.name != "N" && property.name != "TEL") return;
    if (raw.size() > kMaxVCardValue) {
      Fail(number, "the " + property.name + " value is " + std::to_string(raw.size()) +
                       " bytes long; names and numbers end at " +
                       std::to_string(kMaxVCardValue / 1024) + " KB");
      return;
    }
    std::string bytes = property.quoted_printable ? DecodeHexEscapes(raw, '=') : std::string(raw);
    const std::optional<std::string> text = ToUtf8(std::move(bytes), property.charset);
    if (!text) {
      Fail(number, "the " + property.name + " value is not valid UTF-8");
      return;
    }
    if (property.name == "FN") card_->formatted_name = Trimmed(Unescape(*text));
    if (property.name == "N") card_->structured_name = NameOfComponents(Components(*text));
    if (property.name == "TEL") {
      std::string tel = Trimmed(Unescape(*text));
      if (tel.size() > 4 && IEquals(tel.substr(0, 4), "tel:")) tel.erase(0, 4);
      if (!tel.empty()) card_->numbers.push_back(std::move(tel));
    }
  }

  void EndCard() {
    Card card = std::move(*card_);
    card_.reset();
    ++read_.cards;
    if (card.numbers.empty()) {
      ++read_.cards_without_number;
      return;
    }
    std::string name = !card.formatted_name.empty() ? card.formatted_name : card.structured_name;
    for (std::string& number : card.numbers) {
      read_.contacts.push_back({name.empty() ? number : name, std::move(number)});
    }
  }

  void Fail(std::size_t line, const std::string& why) {
    read_.error = name_ + ", line " + std::to_string(line) + ": " + Utf8ToCp1251(why) + ".";
  }

  static constexpr std::size_t kLongestLine = std::size_t{16} << 20;

  std::vector<Line> lines_;
  const std::string& name_;
  std::size_t next_ = 0;
  std::optional<Card> card_;
  VCardRead read_;
};

}  // namespace

VCardRead ParseVCards(std::string_view bytes, const std::string& name) {
  // A byte order mark before BEGIN is no fault.
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  return Reader(bytes, name).Run();
}

VCardRead ReadVCardFile(const std::filesystem::path& path) {
  const Result<std::string> bytes = ReadWholeFile(path);
  if (!bytes.ok()) {
    VCardRead read;
    read.error = bytes.message();
    return read;
  }
  return ParseVCards(bytes.value(), QuotedFileName(path));
}

}  // namespace missivo
