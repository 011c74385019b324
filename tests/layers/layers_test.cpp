// The layers of the source tree: text <- core <- store <- sms <- phone <-
// transfer <- shell <- the fronts (app, cli, the simulated phone), each folder
// including only folders below it; inside phone/, the AT layer apart from the
// serial port.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "layer_order.h"
#include "support/test_support.h"

namespace missivo::test {
namespace {

std::string Joined(const std::vector<std::string>& faults) {
  std::string text;
  for (const std::string& fault : faults)
    text += fault + "\n";
  return text;
}

TEST(LayersTest, SourceTreeIncludesOnlyDownward) {
  const std::filesystem::path source(MISSIVO_SOURCE_DIR);
  std::vector<IncludeLine> includes = ReadIncludes(source / "src");
  const std::vector<IncludeLine> phonesim = ReadIncludes(source / "tools/phonesim", "phonesim");
  includes.insert(includes.end(), phonesim.begin(), phonesim.end());
  ASSERT_GT(includes.size(), 100u) << "the source tree was not found under " << source;
  const std::vector<std::string> faults = LayerFaults(includes);
  EXPECT_TRUE(faults.empty()) << Joined(faults);
}

TEST(LayersTest, PhoneLayerReachesTheSerialPortOnlyThroughTheByteLink) {
  const std::vector<IncludeLine> includes =
      ReadIncludes(std::filesystem::path(MISSIVO_SOURCE_DIR) / "src");
  ASSERT_TRUE(std::any_of(includes.begin(), includes.end(), [](const IncludeLine& include) {
    return include.file.starts_with("phone/serial/");
  })) << "the serial port was not found under phone/serial/";
  EXPECT_EQ(Joined(SerialPortFaults(includes)), "");

  const struct {
    const char* file;
    const char* text;
    bool fault;
  } cases[] = {
      {"phone/at_exchange.cpp", "phone/serial/com_port.h", true},
      {"phone/standard/standard_read.cpp", "phone/serial/com_types.h", true},
      {"phone/at_exchange.cpp", "phone/byte_link.h", false},
      {"phone/serial/com_port.h", "phone/serial/com_types.h", false},
      {"phone/serial/com_port.h", "phone/byte_link.h", false},
      {"app/connection.cpp", "phone/serial/com_port.h", false},
  };
  for (const auto& c : cases) {
    const std::string file = c.file;
    const std::vector<std::string> faults =
        SerialPortFaults({{file, 3, file.substr(0, file.find('/')), "phone", c.text}});
    EXPECT_EQ(!faults.empty(), c.fault) << c.file << " includes " << c.text;
  }
}

TEST(LayersTest, UpwardSidewaysAndUnknownIncludesAreFaults) {
  const struct {
    const char* from;
    const char* to;
    bool fault;
  } cases[] = {
      {"text", "text", false},     {"core", "text", false},      {"text", "core", true},
      {"store", "core", false},    {"core", "store", true},      {"sms", "store", false},
      {"store", "sms", true},      {"phone", "sms", false},      {"transfer", "phone", false},
      {"phone", "transfer", true}, {"shell", "transfer", false}, {"transfer", "shell", true},
      {"app", "shell", false},     {"cli", "shell", false},      {"shell", "app", true},
      {"cli", "app", true},        {"app", "cli", true},         {"phonesim", "phone", false},
      {"phonesim", "app", true},   {"gui", "text", true},        {"text", "gui", true},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> faults =
        LayerFaults({{"x.cpp", 3, c.from, c.to, std::string(c.to) + "/y.h"}});
    EXPECT_EQ(!faults.empty(), c.fault) << c.from << " includes " << c.to;
  }
}

TEST(LayersTest, IncludesAreReadWithTheirFileAndLine) {
  TempFolder root;
  std::filesystem::create_directories(root / "core" / "deep");
  WriteBytes(root / "core" / "deep" / "a.cpp",
             "// #include \"store/in_a_comment_line_start.h\" is not read\n"
             "#include \"core/deep/a.h\"\n"
             "#include <store/angled.h>\n"
             "#include \"local.h\"\n"
             "  #  include \"store/row.h\"  // above core\n");
  WriteBytes(root / "core" / "notes.txt", "#include \"app/x.h\"\n");
  const std::vector<IncludeLine> includes = ReadIncludes(root.path());
  ASSERT_EQ(includes.size(), 2u);
  EXPECT_EQ(includes[0].text, "core/deep/a.h");
  EXPECT_EQ(includes[1].from, "core");
  EXPECT_EQ(includes[1].to, "store");
  EXPECT_EQ(Joined(LayerFaults(includes)),
            "core/deep/a.cpp:5: \"store/row.h\": core includes store, a layer above it\n");
}

}  // namespace
}  // namespace missivo::test
