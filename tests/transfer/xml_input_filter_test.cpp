#include "transfer/xml_input_filter.h"

#include <gtest/gtest.h>

namespace missivo {
namespace {

// The filtered text, with the input cut into two pieces at `cut`.
std::string Filtered(std::string_view in, std::size_t cut, XmlInputFilter& filter) {
  std::string out;
  EXPECT_TRUE(filter.Filter(in.substr(0, cut), false, out));
  EXPECT_TRUE(filter.Filter(in.substr(cut), true, out));
  return out;
}

TEST(XmlInputFilterTest, SurrogateReferencesAtEveryCut) {
  const struct {
    const char* name;
    std::string in;
    std::string out;
    std::size_t lone;
  } cases[] = {
      {"decimal pair", "a&#55357;&#56832;b", "a&#0000000128512;b", 0},
      {"hex pair", "&#xD83D;&#xDE00;", "&#0000000128512;", 0},
      {"mixed forms", "&#55357;&#xDE00;", "&#0000000128512;", 0},
      {"other references pass", "&#1046;&amp;&#x41;&lt;", "&#1046;&amp;&#x41;&lt;", 0},
      {"high half then text", "&#55357;x", "&#65533;x", 1},
      {"high half at the end", "x&#55357;", "x&#65533;", 1},
      {"two high halves", "&#55357;&#55357;&#56832;", "&#65533;&#0000000128512;", 1},
      {"low half alone", "&#xDE00;", "&#65533;", 1},
      {"high half then entity", "&#55357;&amp;", "&#65533;&amp;", 1},
      {"not a reference", "&#;&#x;&#12a;&", "&#;&#x;&#12a;&", 0},
  };
  for (const auto& c : cases) {
    for (std::size_t cut = 0; cut <= c.in.size(); ++cut) {
      SCOPED_TRACE(std::string(c.name) + " cut at " + std::to_string(cut));
      XmlInputFilter filter;
      const std::string out = Filtered(c.in, cut, filter);
      EXPECT_EQ(out, c.out);
      EXPECT_EQ(out.size(), c.in.size());  // columns stay where the file has them
      EXPECT_EQ(filter.lone_surrogates(), c.lone);
    }
  }
}

TEST(XmlInputFilterTest, DeclarationsRefusedAcrossPieces) {
  const std::string in = "<?xml version=\"1.0\"?>\n  <!DOCTYPE x [<!ENTITY a \"b\">]>\n<x/>";
  for (std::size_t cut = 0; cut <= in.size(); ++cut) {
    SCOPED_TRACE(cut);
    XmlInputFilter filter;
    std::string out;
    const bool first = filter.Filter(in.substr(0, cut), false, out);
    const bool second = first && filter.Filter(in.substr(cut), true, out);
    EXPECT_FALSE(first && second);
    EXPECT_EQ(filter.line(), 2u);
    EXPECT_EQ(filter.column(), 3u);
    EXPECT_EQ(out.find("ENTITY"), std::string::npos);
  }
}

}  // namespace
}  // namespace missivo
