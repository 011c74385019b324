#include "transfer/utf8_text.h"
#include "transfer/vcard.h"

namespace missivo {
namespace {

constexpr std::size_t kFoldAt = 75;

// A text value with backslash, comma, semicolon and line breaks escaped.
std::string Escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\' || c == ',' || c == ';') {
      out += '\\';
      out += c;
    } else if (c == '\r' || c == '\n') {
      out += "\\n";
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += c;
    }
  }
  return out;
}

// The line folded every 75 bytes (never inside a UTF-8 sequence), ended by CR LF.
void AppendFolded(std::string& out, const std::string& line) {
  std::size_t start = 0;
  std::size_t width = kFoldAt;
  while (line.size() - start > width) {
    std::size_t cut = start + width;
    while (cut > start && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
      --cut;
    out.append(line, start, cut - start);
    out += "\r\n ";
    start = cut;
    width = kFoldAt - 1;  // the leading blank counts
  }
  out.append(line, start);
  out += "\r\n";
}

}  // namespace

std::string WriteVCards(const std::vector<ContactRecord>& contacts) {
  std::string out;
  for (std::size_t i = 0; i < contacts.size();) {
    const std::string name = Escaped(XmlSafeText(contacts[i].name));
    out += "BEGIN:VCARD\r\nVERSION:3.0\r\n";
    AppendFolded(out, "FN:" + name);
    AppendFolded(out, "N:;" + name + ";;;");
    std::size_t j = i;
    for (; j < contacts.size() && contacts[j].name == contacts[i].name; ++j) {
      AppendFolded(out, "TEL;TYPE=CELL:" + Escaped(XmlSafeText(contacts[j].number)));
    }
    out += "END:VCARD\r\n";
    i = j;
  }
  return out;
}

}  // namespace missivo
