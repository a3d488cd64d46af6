// Reading the command line: options as the window's texts and switches, and refusals.
#include "cli/command_line.h"

#include <gtest/gtest.h>

#include "cli/page_renderers.h"
#include "cli/worker_protocol.h"
#include "resources/option_texts.h"
#include "support/temp_folder.h"

namespace {

using cli::CommandKind;
using cli::ParseCommandLine;
using settings::Field;
using testing_support::Sjis;

TEST(ParseCommandLine, OptionsBecomeTheWindowsTextsAndSwitchesAsTyped) {
  const auto parsed = ParseCommandLine({"crawl", "http://s/p@b@.html", "日本語/出力", "--size",
                                        " +640px", "--no-same-server", "--one-folder", "--range",
                                        "b=001:120:5", "--no-range", "a", "--enable", "abc",
                                        "--enable", "表", "--jobs", "3", "--format", "png"});
  ASSERT_TRUE(parsed.line) << parsed.error;
  const cli::CommandLine& line = *parsed.line;
  EXPECT_EQ(line.kind, CommandKind::kCrawl);
  EXPECT_EQ(line.source, "http://s/p@b@.html");
  EXPECT_EQ(line.output, Sjis("日本語/出力"));
  ASSERT_EQ(line.texts.size(), 1u);
  EXPECT_EQ(line.texts[0], std::make_pair(Field::kSize, std::string(" +640px")));
  EXPECT_EQ(line.switches,
            (std::vector<std::pair<Field, bool>>{{Field::kServer, false}, {Field::kSame, true}}));
  ASSERT_EQ(line.ranges.size(), 2u);
  EXPECT_EQ(line.ranges[0].row, 2);
  EXPECT_EQ(line.ranges[0].from, "001");
  EXPECT_EQ(line.ranges[0].to, "120");
  EXPECT_EQ(line.ranges[0].step, "5");
  EXPECT_EQ(line.ranges[1].row, 1);
  EXPECT_FALSE(line.ranges[1].inUse);
  EXPECT_EQ(line.enableList, (std::vector<std::string>{"abc", Sjis("表")}));
  EXPECT_FALSE(line.disableList);
  EXPECT_EQ(line.jobs, 3);
  EXPECT_EQ(line.format, convert::FindPictureFormat("png"));
}

TEST(ParseCommandLine, RefusesWhatItCannotReadInJapanese) {
  const std::vector<std::vector<std::string>> refused = {
      {"convert", "a"},
      {"convert", "a", "b", "c"},
      {"convert", "a", "b", "--nothing"},
      {"convert", "a", "b", "--wait"},
      {"convert", "a", "b", "--jobs", "2", "--jobs", "3"},
      {"convert", "a", "b", "--jobs", "x"},
      {"convert", "a", "b", "--jobs", "65"},
      {"convert", "a", "b", "--format", "gif"},
      {"convert", "a", "b", "--quality", "0"},
      {"convert", "a", "b", "--quality", "101"},
      {"convert", "a", "b", "--split", "0"},
      {"convert", "a", "b", "--split", "10:10"},
      {"convert", "a", "b", "--split", "10:x"},
      {"convert", "a", "b", "--split", "1000001"},
      {"convert", "a", "b", "--page-timeout", "0"},
      {"crawl", "a", "b", "--page-timeout", "2.5"},
      {"run", "--page-timeout", "-1"},
      {"convert", "a", "b", "--shard", "0/2"},
      {"convert", "a", "b", "--shard", "2"},
      {"convert", "a", "b", "--range", "a=1:2"},
      {"convert", "a", "b", "--range", "g=1:2:3"},
      {"convert", "a", "b", "--no-range", "ab"},
      {"convert", "a", "b", "--padding", "-1"},
      {"convert", "a", "b", "--scale-factor", "1.5"},
      {"run", "--color-scheme", "blue"},
      {"convert", "a", "b", "--style", "@/nonexistent/style.css"},
      {"crawl", "a", "b", "--referer", "linking"},
      {"crawl", "a", "b", "--header", "X-No-Colon"},
      {"crawl", "a", "b", "--delay", "-1"},
      {"crawl", "a", "b", "--retry-wait", "1s"},
      {"crawl", "a", "b", "--limit-rate", "fast"},
      {"crawl", "a", "b", "--tries", "0"},
      {"crawl", "a", "b", "--per-server", "17"},
      {"run", "a.ini", "b.ini"},
      {"run", "--size", "800"},
      {"paint"},
  };
  for (const auto& arguments : refused) {
    const auto parsed = ParseCommandLine(arguments);
    EXPECT_FALSE(parsed.line) << arguments.back();
    // Japanese text: every message holds bytes beyond ASCII.
    EXPECT_TRUE(std::any_of(parsed.error.begin(), parsed.error.end(), [](char c) {
      return static_cast<unsigned char>(c) >= 0x80;
    })) << parsed.error;
    // A refused value is named in the message; the parser's English never shows.
    if (arguments.size() < 2) continue;
    const std::string& option = arguments[arguments.size() - 2];
    if (!option.starts_with("--") || arguments.back().starts_with("-")) continue;
    EXPECT_TRUE(parsed.error.ends_with(": " + arguments.back()) ||
                parsed.error.ends_with(": " + option))
        << parsed.error;
    EXPECT_EQ(parsed.error.find("not in"), std::string::npos) << parsed.error;
  }
}

TEST(ParseCommandLine, SplitQualityAndTransparencyAreHeldOnlyWhenGiven) {
  const auto plain = ParseCommandLine({"convert", "a", "b"});
  ASSERT_TRUE(plain.line);
  EXPECT_FALSE(plain.line->formatGiven || plain.line->quality || plain.line->splitHeight);
  EXPECT_FALSE(plain.line->transparent);
  const auto given = ParseCommandLine({"convert", "a", "b", "--format", "webp", "--quality", "100",
                                       "--split", "2000:0", "--transparent"});
  ASSERT_TRUE(given.line) << given.error;
  EXPECT_TRUE(given.line->formatGiven);
  EXPECT_EQ(given.line->quality, 100);
  EXPECT_EQ(given.line->splitHeight, 2000);
  EXPECT_EQ(given.line->splitOverlap, 0);
  EXPECT_TRUE(given.line->transparent);
  EXPECT_EQ(ParseCommandLine({"run", "--split", "700:699"}).line->splitOverlap, 699);
}

TEST(ParseCommandLine, PageOptionsAreHeldOnlyWhenGivenAndTakeFilesAfterAnAt) {
  testing_support::TempFolder folder;
  testing_support::WriteFile(folder / "style.css", "body { color: #123 } /* \xE8\xA1\xA8 */");
  const auto parsed =
      ParseCommandLine({"run", "--selector", "#表", "--hide", ".a", "--hide", ".b", "--style",
                        "@" + folder.path() + "style.css", "--script", "x = 1", "--confine",
                        "--scale-factor", "2", "--color-scheme", "dark"});
  ASSERT_TRUE(parsed.line) << parsed.error;
  const cli::CommandLine::PageOptionLine& page = parsed.line->page;
  EXPECT_EQ(page.selector, Sjis("#表"));
  EXPECT_EQ(page.hide, (std::vector<std::string>{".a", ".b"}));
  EXPECT_FALSE(page.remove);
  EXPECT_FALSE(page.padding);
  // The file's bytes, kept whatever their encoding.
  EXPECT_EQ(page.style, Sjis("body { color: #123 } /* 表 */"));
  EXPECT_EQ(page.script, "x = 1");
  EXPECT_TRUE(page.confine);
  EXPECT_FALSE(page.noJavaScript);
  EXPECT_EQ(parsed.line->scaleFactor, 2);
  EXPECT_EQ(parsed.line->colorScheme, "dark");
  EXPECT_EQ(ParseCommandLine({"run"}).line->scaleFactor, 1);
}

TEST(ParseCommandLine, ConnectionOptionsOverrideOnlyWhatIsGiven) {
  const auto parsed = ParseCommandLine({"crawl",
                                        "http://s/",
                                        "out",
                                        "--user-agent",
                                        "Crawler/2.0",
                                        "--referer",
                                        "auto",
                                        "--header",
                                        "X-One: 1",
                                        "--header",
                                        "X-Two: 2",
                                        "--load-cookies",
                                        "クッキー.txt",
                                        "--delay",
                                        "0.2",
                                        "--random-delay",
                                        "--limit-rate",
                                        "200k",
                                        "--tries",
                                        "3",
                                        "--retry-wait",
                                        "0.5",
                                        "--robots",
                                        "--per-server",
                                        "4"});
  ASSERT_TRUE(parsed.line) << parsed.error;
  net::ConnectionOptions options;
  options.proxy = "http://proxy:3128";  // as a settings file gave it
  parsed.line->connection.ApplyTo(options);
  EXPECT_EQ(options.userAgent, "Crawler/2.0");
  EXPECT_EQ(options.referer, net::RefererMode::kLinkingPage);
  EXPECT_EQ(options.headers, (std::vector<std::string>{"X-One: 1", "X-Two: 2"}));
  EXPECT_EQ(options.loadCookies, Sjis("クッキー.txt"));
  EXPECT_EQ(options.proxy, "http://proxy:3128");
  EXPECT_EQ(options.delaySeconds, 0.2);
  EXPECT_TRUE(options.randomDelay);
  EXPECT_EQ(options.rateLimit, 204800);
  EXPECT_EQ(options.tries, 3);
  EXPECT_EQ(options.retryWaitSeconds, 0.5);
  EXPECT_TRUE(options.robots);
  EXPECT_EQ(options.perServer, 4);
}

TEST(ParseCommandLine, HelpVersionAndRunWithoutASettingsFile) {
  EXPECT_EQ(ParseCommandLine({"--help"}).line->kind, CommandKind::kHelp);
  EXPECT_EQ(ParseCommandLine({"convert", "--help"}).line->kind, CommandKind::kHelp);
  EXPECT_EQ(ParseCommandLine({"--version"}).line->kind, CommandKind::kVersion);
  const auto run = ParseCommandLine({"run", "--jobs", "2", "--until-loaded"});
  ASSERT_TRUE(run.line) << run.error;
  EXPECT_EQ(run.line->kind, CommandKind::kRun);
  EXPECT_TRUE(run.line->settingsFile.empty());
  EXPECT_EQ(run.line->untilLoaded, true);
}

TEST(ParseCommandLine, PageTimeoutIsThirtySecondsUnlessGiven) {
  const auto given = ParseCommandLine({"convert", "a", "b", "--jobs", "4", "--page-timeout", "5"});
  ASSERT_TRUE(given.line) << given.error;
  EXPECT_EQ(given.line->pageTimeoutSeconds, 5);
  const auto least = ParseCommandLine({"run", "--page-timeout", "1"});
  ASSERT_TRUE(least.line) << least.error;
  EXPECT_EQ(least.line->pageTimeoutSeconds, 1);
  EXPECT_EQ(ParseCommandLine({"run"}).line->pageTimeoutSeconds, 30);
}

// The help comes from the registration: every option's description, with the defaults of a
// reset settings record and of the command line.
TEST(HelpText, ListsEveryRegisteredOptionWithItsDefault) {
  const std::string help = cli::HelpText();
  for (int i = 0; i < static_cast<int>(resources::OptionText::kCount_); ++i) {
    const std::string_view description =
        resources::HelpOf(static_cast<resources::OptionText>(i)).japanese;
    const std::string_view firstPart = description.substr(0, description.find("、"));
    EXPECT_NE(help.find(firstPart), std::string::npos) << firstPart;
  }
  for (const char* line :
       {"  --size 幅                 Xサイズ: ページを表示する幅（ピクセル）（既定値: 800）\n",
        "  --[no-]subfolders         サブフォルダも対象（既定値: オン）\n",
        "  --[no-]under-start        指定したURL以下にないURLはダウンロードしない\n",
        "  --format bmp|png|jpeg|webp\n                            画像の形式（既定値: bmp）\n",
        "（既定値: 30）\n", "（png と webp）\n"}) {
    EXPECT_NE(help.find(line), std::string::npos) << line;
  }
  // A default worked out on the machine says its number and its rule.
  const std::string jobs = "（既定値: " + std::to_string(cli::DefaultJobs()) + " = コア数 × 3";
  EXPECT_NE(help.find(jobs), std::string::npos) << jobs;
}

TEST(ShardOf, IsStableAndSpreadsPagesOverEveryShard) {
  // Fixed values: a shard must not move between versions or machines.
  EXPECT_EQ(cli::ShardOf("a.bmp", 4), cli::ShardOf("a.bmp", 4));
  std::vector<int> counts(4);
  for (int i = 0; i < 400; ++i) ++counts[cli::ShardOf("p" + std::to_string(i) + ".bmp", 4) - 1];
  for (int count : counts) EXPECT_GT(count, 60);
  EXPECT_EQ(cli::ShardOf("", 1), 1);
}

TEST(WorkerProtocol, CarriesEveryByteOfTheSystemsTexts) {
  cli::PageOrder order;
  order.sequence = 41;
  order.pageCount = 7;
  order.location = Sjis("/src/ソース\\表.html") + "\xF0\x40\xFF";
  order.name = Sjis("表.html");
  order.folder = "/out/.work/41/";
  order.entry.kind = "url";
  order.entry.httpStatus = 200;
  const auto decoded = cli::DecodeOrder(cli::EncodeOrder(order));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->sequence, 41);
  EXPECT_EQ(decoded->pageCount, 7);
  EXPECT_EQ(decoded->location, order.location);
  EXPECT_EQ(decoded->name, order.name);
  EXPECT_EQ(decoded->entry.kind, "url");
  EXPECT_EQ(decoded->entry.httpStatus, 200);

  cli::PageAnswer answer{41, {}};
  answer.record.output = Sjis("/out/表.bmp");
  answer.record.outcome = convert::EntryOutcome::kIncomplete;
  answer.record.answered.Add(convert::EngineRequest::kScriptDialog);
  answer.record.answered.Add(convert::EngineRequest::kPrint);
  answer.record.answered.Add(convert::EngineRequest::kCertificate);
  answer.record.scriptError = Sjis("ReferenceError: 表");
  const auto back = cli::DecodeAnswer(cli::EncodeAnswer(answer));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->record.scriptError, answer.record.scriptError);
  EXPECT_EQ(back->record.output, answer.record.output);
  EXPECT_EQ(back->record.outcome, convert::EntryOutcome::kIncomplete);
  EXPECT_EQ(back->record.answered, answer.record.answered);
  EXPECT_FALSE(cli::DecodeAnswer("{\"sequence\": 1}"));
  EXPECT_FALSE(cli::DecodeOrder("not json"));
}

}  // namespace
