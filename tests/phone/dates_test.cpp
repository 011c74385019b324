#include "phone/dates.h"

#include <gtest/gtest.h>

namespace missivo {
namespace {

TEST(NormalizeDateTest, Stamps) {
  const struct {
    const char* name;
    const char* stamp;
    const char* expected;
  } cases[] = {
      {"four-digit year", "2006/05/17,14:03:59", "17/05/2006,14:03:59\r\n"},
      {"single digits get a zero", "2006/5/7,9:3:5", "07/05/2006,09:03:05\r\n"},
      {"zone stays attached", "2006/05/17,14:03:59+12", "17/05/2006,14:03:59+12\r\n"},
      {"two-digit year is 20yy", "26/08/25,20:29:40+12", "25/08/2026,20:29:40+12\r\n"},
      {"two-digit year, short month", "09/8/18,19:11:45", "18/08/2009,19:11:45\r\n"},
      {"the fixed date", "2006/01/01,00:00:00", "01/01/2006,00:00:00\r\n"},
      {"empty", "", "0/0/,0:00:00\r\n"},
      {"one colon keeps the minute", "2006/05/17,14:03", "17/05/2006,14:03:00\r\n"},
      {"one colon and a zone", "2006/05/17,14:03+12", "17/05/2006,14:03:00\r\n"},
      {"no time", "2006/05/17,", "17/05/2006,0:00:00\r\n"},
      {"empty second", "2006/05/17,14:03:", "17/05/2006,14:03:00\r\n"},
      {"one-digit second", "2006/05/17,14:03:5", "17/05/2006,14:03:05\r\n"},
      {"no slash takes the first four characters", "20060517", "0/0/2006,0:00:00\r\n"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(NormalizeDate(c.stamp), c.expected) << c.name;
}

TEST(IsoTimeTest, StampsAndDateTimes) {
  const struct {
    const char* name;
    const char* stamp;
    const char* iso;  // of IsoTimeOfStamp; IsoTimeOfDateTime gives the same
  } cases[] = {
      {"four-digit year", "2006/05/17,14:03:59", "2006-05-17T14:03:59"},
      {"two-digit year and a zone in quarters", "26/08/25,20:29:40+12",
       "2026-08-25T20:29:40+03:00"},
      {"negative zone with a half hour", "2024/1/2,3:04:05-22", "2024-01-02T03:04:05-05:30"},
      {"zone zero", "24/05/04,10:00:00+00", "2024-05-04T10:00:00+00:00"},
      {"29 February of a leap year", "2024/02/29,00:00:00", "2024-02-29T00:00:00"},
      {"29 February of another year", "2023/02/29,00:00:00", ""},
      {"month 13", "2024/13/01,00:00:00", ""},
      {"hour 24", "2024/01/01,24:00:00", ""},
      {"no seconds", "2006/05/17,14:03", ""},
      {"zone past 14 hours", "2024/01/01,00:00:00+57", ""},
      {"text after the zone", "2024/01/01,00:00:00+12 x", ""},
      {"three-digit year", "206/05/17,14:03:59", ""},
      {"empty", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsoTimeOfStamp(c.stamp), c.iso) << c.name;
    EXPECT_EQ(IsoTimeOfDateTime(c.stamp), c.iso) << c.name;
  }
  EXPECT_EQ(IsoTimeOfDateTime("17/05/2006,14:03:59"), "2006-05-17T14:03:59");
  EXPECT_EQ(IsoTimeOfDateTime("31/04/2006,14:03:59"), "");
  EXPECT_EQ(IsoTimeOfDateTime("17/05/2006,14:03:59+12 long date line"), "");
}

TEST(MakeDateTest, LocalTimeInTheProgramsForm) {
  std::tm local{};
  local.tm_year = 2024 - 1900;
  local.tm_mon = 2;
  local.tm_mday = 5;
  local.tm_hour = 7;
  local.tm_min = 8;
  local.tm_sec = 9;
  EXPECT_EQ(MakeDate(local), "05/03/2024,07:08:09\r\n");
  EXPECT_EQ(MakeDate().size(), 21u);
}

}  // namespace
}  // namespace missivo
