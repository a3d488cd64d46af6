// The lines between a worker pool and its render workers carry every picture format by name and
// every reason of the closed list by its token.
#include "cli/worker_protocol.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(WorkerProtocol, SetupCarriesEveryPictureFormatByName) {
  for (const convert::PictureFormat* format : convert::PictureFormats()) {
    cli::WorkerSetup setup;
    setup.format = format;
    const std::optional<cli::WorkerSetup> decoded = cli::DecodeSetup(cli::EncodeSetup(setup));
    ASSERT_TRUE(decoded) << format->Name();
    EXPECT_EQ(decoded->format, format);
  }
  // A name no format has is no setup a worker can render with.
  std::string line = cli::EncodeSetup({});
  line.replace(line.find("\"bmp\""), 5, "\"gif\"");
  EXPECT_FALSE(cli::DecodeSetup(line));
}

TEST(WorkerProtocol, SetupAndAnswerCarryThePicturesOptionsAndParts) {
  cli::WorkerSetup setup;
  setup.quality = 40;
  setup.splitHeight = 2000;
  setup.splitOverlap = 120;
  setup.transparent = true;
  const std::optional<cli::WorkerSetup> decoded = cli::DecodeSetup(cli::EncodeSetup(setup));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->quality, 40);
  EXPECT_EQ(decoded->splitHeight, 2000);
  EXPECT_EQ(decoded->splitOverlap, 120);
  EXPECT_TRUE(decoded->transparent);

  cli::PageAnswer answer;
  answer.record.parts = {{"/w/\x93\xfa-001.png", 0, 2000, 51234},
                         {"/w/\x93\xfa-002.png", 1880, 700, 9000000000}};
  const std::optional<cli::PageAnswer> back = cli::DecodeAnswer(cli::EncodeAnswer(answer));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->record.parts, answer.record.parts);
}

TEST(WorkerProtocol, SetupCarriesWhatIsAskedOfEveryPage) {
  cli::WorkerSetup setup;
  setup.page = {"#a", 12, {".h1", ".h2"}, {".r"}, "b{}", "x=1", true, true, true};
  setup.page.style += "\xF0\x40";  // a byte escape of a file's content
  setup.sourceFolder = "/src/\x95\x5C/";
  const std::optional<cli::WorkerSetup> decoded = cli::DecodeSetup(cli::EncodeSetup(setup));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->page, setup.page);
  EXPECT_EQ(decoded->sourceFolder, setup.sourceFolder);
}

TEST(WorkerProtocol, AnswerCarriesEveryReasonAndRefusesAnUnknownToken) {
  std::set<std::string> tokens;
  for (int i = 0; i <= static_cast<int>(convert::kLastReason); ++i) {
    cli::PageAnswer answer;
    answer.record.reason = static_cast<convert::EntryReason>(i);
    const std::string token = convert::ReasonToken(answer.record.reason);
    EXPECT_TRUE(tokens.insert(token).second) << "two reasons share the token " << token;
    const std::optional<cli::PageAnswer> decoded = cli::DecodeAnswer(cli::EncodeAnswer(answer));
    ASSERT_TRUE(decoded) << token;
    EXPECT_EQ(decoded->record.reason, answer.record.reason) << token;
  }
  cli::PageAnswer answer;
  answer.record.reason = convert::EntryReason::kHttp;
  std::string line = cli::EncodeAnswer(answer);
  line.replace(line.find("\"http\""), 6, "\"http 404\"");
  EXPECT_FALSE(cli::DecodeAnswer(line));
}

}  // namespace
