// The texts of the connection options, and cookie files named relative to where a run starts.
#include "net/connection_options.h"

#include <gtest/gtest.h>

#include "base/file_system.h"
#include "support/temp_folder.h"

namespace {

TEST(ConnectionOptions, TextsReadOnlyWhenWhole) {
  EXPECT_EQ(net::ParseRate("200k"), 204800);
  EXPECT_EQ(net::ParseRate("1.5M"), 1572864);
  EXPECT_EQ(net::ParseRate("0"), 0);
  for (const char* refused : {"", "k", "-5", "5 k", "1e3", "5kb"}) {
    EXPECT_FALSE(net::ParseRate(refused)) << refused;
  }
  EXPECT_EQ(net::ParseSeconds("0.2"), 0.2);
  for (const char* refused : {"", "+1", "-1", "1s", "inf", "nan", "100000"}) {
    EXPECT_FALSE(net::ParseSeconds(refused)) << refused;
  }
  EXPECT_EQ(net::SecondsText(0.2), "0.2");
  net::RefererMode mode;
  std::string address;
  EXPECT_TRUE(net::ParseReferer("https://example.org/a", mode, address));
  EXPECT_EQ(mode, net::RefererMode::kFixed);
  EXPECT_FALSE(net::ParseReferer("example.org", mode, address));
  EXPECT_FALSE(net::ParseReferer("http://example.org/\r\nX-Evil: 1", mode, address));
  EXPECT_TRUE(net::IsHeaderLine("X-Ok: 1"));
  for (const char* refused : {"X-No-Colon", ": value", "Bad Name: 1", "X-Split: a\r\nX-Evil: 1"}) {
    EXPECT_FALSE(net::IsHeaderLine(refused)) << refused;
  }
}

// A crawl makes its output folder current: a cookie file named relative to where the run
// started must still be that one.
TEST(ConnectionOptions, RelativeCookieFilesAreFixedBeforeTheRun) {
  testing_support::TempFolder temp;
  const std::string started = base::GetCurrentDirectory();
  ASSERT_TRUE(base::SetCurrentDirectory(temp.path()));
  net::ConnectionOptions options;
  options.loadCookies = "in.txt";
  options.saveCookies = "/elsewhere/out.txt";
  const net::ConnectionOptions fixed = options.WithAbsolutePaths();
  base::SetCurrentDirectory(started);
  EXPECT_EQ(fixed.loadCookies, temp / "in.txt");
  EXPECT_EQ(fixed.saveCookies, "/elsewhere/out.txt");
}

}  // namespace
