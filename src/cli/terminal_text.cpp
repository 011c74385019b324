#include "cli/terminal_text.h"

#include "text/cp1251.h"
#include "text/hex_escapes.h"

namespace missivo::cli {
namespace {

// The length of the well-formed UTF-8 sequence at the start of `text`, or 0.
std::size_t SequenceLength(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  const std::size_t length = lead < 0x80                   ? 1
                             : lead >= 0xC2 && lead < 0xE0 ? 2
                             : lead >= 0xE0 && lead < 0xF0 ? 3
                             : lead >= 0xF0 && lead < 0xF5 ? 4
                                                           : 0;
  if (length == 0 || length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((static_cast<unsigned char>(text[k]) & 0xC0) != 0x80) return 0;
  }
  return length;
}

// C0 controls, DEL and the C1 controls U+0080 to U+009F (two bytes C2 80..9F).
bool IsControl(std::string_view character) {
  const auto lead = static_cast<unsigned char>(character[0]);
  if (character.size() == 1) return lead < 0x20 || lead == 0x7F;
  return character.size() == 2 && lead == 0xC2 && static_cast<unsigned char>(character[1]) < 0xA0;
}

void AppendHex(std::string& out, unsigned char byte) {
  out += "\\x";
  AppendHexByte(out, byte);
}

}  // namespace

std::string ForTerminal(std::string_view cp1251, LineBreaks breaks) {
  return ForTerminalUtf8(Cp1251ToUtf8(cp1251), breaks);
}

std::string ForTerminalUtf8(std::string_view utf8, LineBreaks breaks) {
  std::string out;
  out.reserve(utf8.size() * 2);
  for (std::size_t i = 0; i < utf8.size();) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (breaks == LineBreaks::kEscaped) {
      const char* escape = byte == '\\'   ? "\\\\"
                           : byte == '\t' ? "\\t"
                           : byte == '\r' ? "\\r"
                           : byte == '\n' ? "\\n"
                                          : nullptr;
      if (escape != nullptr) {
        out += escape;
        ++i;
        continue;
      }
    } else {
      // A reply ends at the CR of its last line end.
      if (byte == '\r' && (i + 1 == utf8.size() || utf8[i + 1] == '\n')) {
        ++i;
        continue;
      }
      if (byte == '\n' || byte == '\t') {
        out.push_back(static_cast<char>(byte));
        ++i;
        continue;
      }
    }
    const std::size_t length = SequenceLength(utf8.substr(i));
    if (length == 0) {
      AppendHex(out, byte);  // not UTF-8
      ++i;
    } else if (IsControl(utf8.substr(i, length))) {
      AppendHex(out, length == 1 ? byte : static_cast<unsigned char>(0x80 | (utf8[i + 1] & 0x3F)));
      i += length;
    } else {
      out.append(utf8.substr(i, length));
      i += length;
    }
  }
  return out;
}

}  // namespace missivo::cli
