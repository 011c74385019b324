#include "cli/terminal_text.h"

#include "text/cp1251.h"

namespace missivo::cli {
namespace {

bool IsControl(unsigned char byte) {
  return byte < 0x20 || byte == 0x7F || Cp1251ToUnicode(byte) == 0x98;
}

void AppendHex(std::string& out, unsigned char byte) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out += "\\x";
  out.push_back(kDigits[byte >> 4]);
  out.push_back(kDigits[byte & 15]);
}

}  // namespace

std::string ForTerminal(std::string_view cp1251, LineBreaks breaks) {
  std::string out;
  out.reserve(cp1251.size() * 2);
  for (std::size_t i = 0; i < cp1251.size(); ++i) {
    const auto byte = static_cast<unsigned char>(cp1251[i]);
    if (breaks == LineBreaks::kEscaped) {
      const char* escape = byte == '\\'   ? "\\\\"
                           : byte == '\t' ? "\\t"
                           : byte == '\r' ? "\\r"
                           : byte == '\n' ? "\\n"
                                          : nullptr;
      if (escape != nullptr) {
        out += escape;
        continue;
      }
    } else {
      // A reply ends at the CR of its last line end.
      if (byte == '\r' && (i + 1 == cp1251.size() || cp1251[i + 1] == '\n')) continue;
      if (byte == '\n' || byte == '\t') {
        out.push_back(static_cast<char>(byte));
        continue;
      }
    }
    if (IsControl(byte)) {
      AppendHex(out, byte);
    } else {
      out += Cp1251ToUtf8(cp1251.substr(i, 1));
    }
  }
  return out;
}

}  // namespace missivo::cli
