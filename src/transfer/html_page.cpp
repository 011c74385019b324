#include "transfer/html_page.h"

#include "transfer/archive_records.h"
#include "transfer/export_block.h"
#include "transfer/sms_time.h"
#include "transfer/utf8_text.h"

namespace missivo {
namespace {

constexpr std::string_view kHead = R"(<!DOCTYPE html>
<html>
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="generator" content="Missivo">
<title>Missivo</title>
<style>
body { font-family: "DejaVu Sans", "Noto Sans", "Segoe UI", sans-serif; background: #eef1f4;
       color: #1d2329; margin: 0 auto; max-width: 46em; padding: 1em; }
h2 { font-size: 1.05em; margin: 1.6em 0 0.6em; padding-bottom: 0.3em;
     border-bottom: 1px solid #c7cfd6; }
h2 .number { color: #5b6670; font-weight: normal; margin-left: 0.5em; }
.message { max-width: 75%; margin: 0.4em 0; padding: 0.5em 0.8em; border-radius: 0.8em;
           background: #ffffff; box-shadow: 0 1px 1px rgba(0, 0, 0, 0.12); }
.message.outgoing, .message.draft { margin-left: auto; background: #d9f2d0; }
.message.draft { background: #f4f1d6; border: 1px dashed #b9ae62; }
.text { white-space: pre-wrap; overflow-wrap: anywhere; }
.meta { font-size: 0.8em; color: #5b6670; margin-top: 0.3em; }
.empty { color: #5b6670; font-style: italic; }
</style>
</head>
<body>
)";

constexpr std::string_view kTail = "</body>\n</html>\n";

// The name a heading shows: the contact, else the From column, else the number.
std::string Correspondent(const SmsRecord& r) {
  if (!r.contact.empty()) return r.contact;
  if (!r.from.empty()) return r.from;
  return r.number;
}

std::string Field(std::string_view value) {
  return EscapeHtml(XmlSafeText(value));
}

class HtmlPageWriter : public TextWriter {
 public:
  using TextWriter::TextWriter;

  Status Begin(std::size_t) override { return Put(kHead); }

  Status Add(const Row& row) override {
    const SmsRecord r = RecordOfRow(row);
    std::string html;
    const std::string who = Correspondent(r);
    if (first_ || who != last_correspondent_ || r.number != last_number_) {
      html += "<h2>" + Field(who);
      if (!r.number.empty() && r.number != who) {
        html += "<span class=\"number\">" + Field(r.number) + "</span>";
      }
      html += "</h2>\n";
      last_correspondent_ = who;
      last_number_ = r.number;
      first_ = false;
    }
    html += "<div class=\"message " + std::string(KindName(r.kind)) + "\">";
    html += r.text.empty() ? "<div class=\"text empty\">&#8212;</div>"
                           : "<div class=\"text\">" + Field(r.text) + "</div>";
    html += "<div class=\"meta\">";
    if (r.time) {
      const std::string iso = IsoTime(*r.time);
      html += "<time datetime=\"" + iso + "\">" + Field(ArchiveDate(*r.time)) + "</time>";
    }
    if (!r.type.empty()) html += (r.time ? " &#183; " : "") + Field(r.type);
    html += "</div></div>\n";
    return Put(html);
  }

  Status End() override { return Put(kTail); }

 private:
  bool first_ = true;
  std::string last_correspondent_;
  std::string last_number_;
};

}  // namespace

std::unique_ptr<MessageWriter> MakeHtmlPageWriter(std::function<bool(std::string_view)> sink) {
  return std::make_unique<HtmlPageWriter>(std::move(sink));
}

}  // namespace missivo
