// The rendora command run as a user runs it: exit statuses, the report, refused runs, Ctrl-C,
// a killed command, parallel pages and shards, against real folders and a loopback site.
#include <gtest/gtest.h>
#include <png.h>
#include <nlohmann/json.hpp>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <thread>

#include "cli/command_runner.h"
#include "support/http_server.h"
#include "support/temp_folder.h"

namespace {

using nlohmann::json;
using testing_support::FilesBelow;
using testing_support::ReadFile;
using testing_support::ReadLines;
using testing_support::RunRendora;
using testing_support::TempFolder;
using testing_support::WriteFile;
using Files = std::vector<std::string>;

// A page of `height` pixels in solid bands, so that every picture differs from the others.
std::string BandPage(int height, const std::string& colour) {
  return "<html><body style=\"margin:0\"><div style=\"height:" + std::to_string(height) +
         "px;background:linear-gradient(" + colour + ",#fff)\"></div></body></html>";
}

json Parse(const std::string& line) { return json::parse(line); }

// Whether a bitmap file is whole: its header's size is its length.
bool WholeBitmap(const std::string& path) {
  const std::string bytes = ReadFile(path);
  if (bytes.size() < 14 || bytes.compare(0, 2, "BM") != 0) return false;
  const auto* size = reinterpret_cast<const unsigned char*>(bytes.data() + 2);
  const std::size_t declared = size[0] | size[1] << 8 | size[2] << 16 | std::size_t(size[3]) << 24;
  return declared == bytes.size();
}

// The names of /proc's entries.
std::vector<std::string> FilesBelowProc() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

// Waits until `done` holds, up to `seconds`.
template <typename Condition>
bool WaitUntil(Condition done, int seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

TEST(CommandLine, RefusedArgumentsExitTwoWithAJapaneseMessageAndWriteNothing) {
  TempFolder temp;
  WriteFile(temp / "src/a.html", "<p>a</p>");
  WriteFile(temp / "old.ini", "[x]\r\n");
  struct Case {
    std::vector<std::string> arguments;
    std::string message;  // a part of the message on standard error
  } cases[] = {
      {{"convert", "src", "out", "--bogus"}, "知らないオプション"},
      {{"convert", "src"}, "二つを指定"},
      {{"convert", "src", "out", "--size"}, "値がないか"},
      {{"convert", "http://127.0.0.1:9/", "out"}, "rendora crawl"},
      {{"crawl", "src", "out"}, "rendora convert"},
      {{"convert", "missing", "out"}, "読み込みフォルダがありません"},
      {{"convert", "src", "out", "--jobs", "0"}, "--jobs"},
      {{"convert", "src", "out", "--format", "gif"}, "--format"},
      {{"convert", "src", "out", "--transparent"}, "--transparent"},
      {{"convert", "src", "out", "--format", "jpeg", "--transparent"}, "--transparent"},
      {{"convert", "src", "out", "--format", "webp", "--split", "20000"}, "16383"},
      {{"convert", "src", "out", "--range", "z=1:2:1"}, "--range"},
      {{"convert", "src", "out", "--shard", "3/2"}, "--shard"},
      {{"convert", "src", "out", "--settings", "none.ini"}, "設定ファイルがありません"},
      {{"run", "none.ini"}, "設定ファイルがありません"},
      {{"run", "old.ini"}, "読み込みパスと出力パス"},
  };
  for (const Case& c : cases) {
    const testing_support::CommandResult result = RunRendora(c.arguments, temp.path());
    const std::string what = c.arguments[0] + " " + (c.arguments.size() > 1 ? c.arguments[1] : "");
    EXPECT_EQ(result.status, 2) << what;
    EXPECT_NE(result.standardError.find(c.message), std::string::npos)
        << what << ": " << result.standardError;
    EXPECT_EQ(result.standardError.find("The following"), std::string::npos) << what;
    EXPECT_TRUE(FilesBelow(temp / "out").empty()) << what;
  }
}

TEST(CommandLine, HelpShowsEveryOptionWithItsDefault) {
  TempFolder temp;
  const std::string program = std::string(RENDORA_BINARY_DIR) + "/rendora";
  const std::string help = temp / "help.txt";
  ASSERT_EQ(std::system((program + " --help > " + help).c_str()), 0);
  const std::string text = ReadFile(help);
  for (const char* part :
       {"--size 幅", "既定値: 800", "既定値: 10", "既定値: 100", "既定値: 1000", "既定値: 500",
        "--[no-]subfolders", "--[no-]same-server", "--range", "--jobs", "--shard", "--report",
        "--format", "--[no-]until-loaded", "--page-timeout 秒"}) {
    EXPECT_NE(text.find(part), std::string::npos) << part;
  }
}

TEST(CommandLine, ConvertsAFolderAndReportsEveryPage) {
  TempFolder temp;
  WriteFile(temp / "src/a.html", BandPage(1500, "#f00"));
  WriteFile(temp / "src/sub/b.htm", BandPage(300, "#0f0"));
  WriteFile(temp / "src/notes.txt", "not a page");
  const auto result = RunRendora(
      {"convert", "src", "out", "--subfolders", "--wait", "1", "--report", "report.jsonl"},
      temp.path());
  ASSERT_EQ(result.status, 0) << result.standardError;
  EXPECT_EQ(FilesBelow(temp / "out"), (Files{"a.bmp", "sub/b.bmp"}));
  EXPECT_TRUE(WholeBitmap(temp / "out/a.bmp"));

  const std::vector<std::string> lines = ReadLines(temp / "report.jsonl");
  ASSERT_EQ(lines.size(), 3u);
  std::set<std::string> sources;
  for (int i = 0; i < 2; ++i) {
    const json record = Parse(lines[i]);
    EXPECT_EQ(record["outcome"], "written");
    EXPECT_TRUE(record["reason"].is_null());
    EXPECT_EQ(record["width"], 800);
    EXPECT_GT(record["bytes"].get<long long>(), 0);
    EXPECT_GE(record["ms"].get<long long>(), 0);
    sources.insert(record["source"].get<std::string>());
    EXPECT_EQ(ReadFile(record["output"].get<std::string>()).size(),
              record["bytes"].get<std::size_t>());
  }
  EXPECT_EQ(sources, (std::set<std::string>{temp / "src/a.html", temp / "src/sub/b.htm"}));
  const json summary = Parse(lines[2]);
  EXPECT_EQ(summary["summary"], true);
  EXPECT_EQ(summary["written"], 2);
  EXPECT_EQ(summary["failed"], 0);
  EXPECT_NE(result.standardError.find("処理終了"), std::string::npos);
}

TEST(CommandLine, APageThatGivesNoPictureMakesTheStatusOne) {
  TempFolder temp;
  WriteFile(temp / "src/a.html", BandPage(200, "#00f"));
  const auto result =
      RunRendora({"convert", "src", "out", "--percent", "0", "--wait", "1", "--report", "r.jsonl"},
                 temp.path());
  EXPECT_EQ(result.status, 1) << result.standardError;
  const std::vector<std::string> lines = ReadLines(temp / "r.jsonl");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(Parse(lines[0])["outcome"], "failed");
  EXPECT_EQ(Parse(lines[0])["reason"], "no usable area");
  EXPECT_TRUE(Parse(lines[0])["output"].is_null());
  EXPECT_EQ(Parse(lines[1])["failed"], 1);
  EXPECT_TRUE(FilesBelow(temp / "out").empty());
}

TEST(CommandLine, PngPicturesHaveTheBitmapsNameAndSize) {
  TempFolder temp;
  WriteFile(temp / "src/page.html", BandPage(900, "#f0f"));
  const auto result =
      RunRendora({"convert", "src", "out", "--format", "png", "--wait", "1", "--report", "r.jsonl"},
                 temp.path());
  ASSERT_EQ(result.status, 0) << result.standardError;
  EXPECT_EQ(FilesBelow(temp / "out"), Files{"page.png"});
  const std::string png = ReadFile(temp / "out/page.png");
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  const auto* header = reinterpret_cast<const unsigned char*>(png.data() + 16);
  EXPECT_EQ(header[0] << 24 | header[1] << 16 | header[2] << 8 | header[3], 800);
  EXPECT_EQ(header[4] << 24 | header[5] << 16 | header[6] << 8 | header[7], 900);
}

// Pixel (x, y) of a 32-bit bitmap file's bytes as 0xRRGGBB.
std::uint32_t BitmapPixel(const std::string& bytes, int x, int y) {
  const auto field = [&bytes](std::size_t at) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
  };
  const std::uint32_t width = field(18);
  const std::uint32_t height = field(22);
  return field(field(10) + ((height - 1 - y) * std::size_t(width) + x) * 4) & 0xFFFFFF;
}

// Settings of the engine for the whole run, taken by the render workers at their start: at a
// device scale of 2 the page is laid out at the same width and drawn with twice the pixels
// (rules for 2 dppx apply, an image set picks its 2x image, half a pixel is one row), and a
// page that follows the reader's preference shows its dark colours.
TEST(CommandLine, DeviceScaleAndColourSchemeHoldForEveryPageOfTheRun) {
  TempFolder temp;
  for (const auto& [name, colour] : {std::pair{"one.svg", "#f00"}, std::pair{"two.svg", "#0f0"}}) {
    WriteFile(temp / (std::string("src/") + name),
              std::string("<svg xmlns='http://www.w3.org/2000/svg' width='20' height='20'>") +
                  "<rect width='20' height='20' fill='" + colour + "'/></svg>");
  }
  WriteFile(temp / "src/page.html",
            "<!doctype html><style>body { margin: 0 } #r { height: 50px; background: #f00 }"
            "@media (min-resolution: 2dppx) { #r { background: #0f0 } }"
            "@media (prefers-color-scheme: dark) { body { background: #000 } }"
            "#l { height: 20px; border-top: 0.5px solid #00f }</style><div id='r'></div>"
            "<img srcset='one.svg 1x, two.svg 2x' style='display: block; width: 20px'>"
            "<div id='l'></div>");
  const auto convert = [&temp](const std::string& out, const std::vector<std::string>& options) {
    std::vector<std::string> arguments = {"convert", "src", out, "--jobs", "2"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    const auto result = RunRendora(arguments, temp.path());
    EXPECT_EQ(result.status, 0) << result.standardError;
    return ReadFile(temp / (out + "/page.bmp"));
  };
  const std::string plain = convert("plain", {});
  ASSERT_GT(plain.size(), 54u);
  EXPECT_EQ(BitmapPixel(plain, 50, 25), 0xFF0000u);
  EXPECT_EQ(BitmapPixel(plain, 10, 60), 0xFF0000u);
  EXPECT_EQ(BitmapPixel(plain, 400, 60), 0xFFFFFFu);
  const std::string sharp = convert("sharp", {"--scale-factor", "2"});
  ASSERT_GT(sharp.size(), 54u);
  EXPECT_EQ(std::uint32_t((sharp[18] & 0xFF) | (sharp[19] & 0xFF) << 8), 1600u);
  EXPECT_EQ(BitmapPixel(sharp, 100, 50), 0x00FF00u);
  EXPECT_EQ(BitmapPixel(sharp, 20, 120), 0x00FF00u);
  // The border: one device row, where the page at scale 1 has one row of its own pixels.
  EXPECT_EQ(BitmapPixel(plain, 10, 70), 0x0000FFu);
  EXPECT_EQ(BitmapPixel(plain, 10, 71), 0xFFFFFFu);
  EXPECT_EQ(BitmapPixel(sharp, 10, 140), 0x0000FFu);
  EXPECT_EQ(BitmapPixel(sharp, 10, 141), 0xFFFFFFu);
  const std::string dark = convert("dark", {"--color-scheme", "dark"});
  ASSERT_GT(dark.size(), 54u);
  EXPECT_EQ(BitmapPixel(dark, 400, 60), 0x000000u);
}

TEST(CommandLine, CrawlRefusedByItsOptionsRequestsNothing) {
  TempFolder temp;
  testing_support::HttpServer server;
  server.Serve("/start.html", {200, "<a href=\"next.html\">next</a>"});
  const auto result =
      RunRendora({"crawl", server.Address("/start.html"), "out", "--count", "0"}, temp.path());
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.standardError.find("ダウンロード数は0以上を指定してください。"),
            std::string::npos)
      << result.standardError;
  EXPECT_TRUE(server.RequestLines().empty());
  EXPECT_TRUE(FilesBelow(temp / "out").empty());
}

TEST(CommandLine, CrawlsALoopbackSiteIntoAMirroredTree) {
  TempFolder temp;
  testing_support::HttpServer server;
  server.Serve("/site/start.html",
               {200,
                "<p>start</p><a href=\"next.html\">next</a><img src=\"logo.cgi\">"
                "<a href=\"gone.html\">gone</a>"});
  server.Serve("/site/next.html", {200, BandPage(400, "#0ff")});
  server.Serve("/site/logo.cgi", {200, "LOGO", "image/png"});
  const auto result = RunRendora({"crawl", server.Address("/site/start.html"), "out", "--wait", "4",
                                  "--report", "r.jsonl", "--jobs", "2"},
                                 temp.path());
  EXPECT_EQ(result.status, 1) << result.standardError;  // gone.html answers 404
  const std::string host = "http/127.0.0.1" + std::to_string(server.port()) + "/site/";
  EXPECT_EQ(FilesBelow(temp / "out"),
            (Files{host + "logo.cgi", host + "next.bmp", host + "start.bmp"}));
  std::map<std::string, json> records;
  const std::vector<std::string> lines = ReadLines(temp / "r.jsonl");
  ASSERT_EQ(lines.size(), 5u) << result.standardError;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    const json record = Parse(lines[i]);
    const std::string source = record["source"];
    records[source.substr(source.rfind('/') + 1)] = record;
  }
  EXPECT_EQ(records["start.html"]["kind"], "url");
  EXPECT_EQ(records["start.html"]["http_status"], 200);
  EXPECT_EQ(records["start.html"]["outcome"], "written");
  EXPECT_EQ(records["logo.cgi"]["kind"], "src");
  EXPECT_EQ(records["logo.cgi"]["bytes"], 4);
  EXPECT_EQ(records["gone.html"]["outcome"], "failed");
  EXPECT_EQ(records["gone.html"]["reason"], "http");
  EXPECT_EQ(records["gone.html"]["http_status"], 404);
  EXPECT_TRUE(Parse(lines.back())["dropped_links"].is_object());
}

TEST(CommandLine, ParallelPagesGiveTheSamePicturesAsOneAtATime) {
  TempFolder temp;
  const char* colours[] = {"#f00", "#0f0", "#00f", "#ff0", "#0ff", "#f0f", "#888", "#123"};
  for (int i = 0; i < 8; ++i) {
    WriteFile(temp / ("src/p" + std::to_string(i) + ".html"), BandPage(200 + 450 * i, colours[i]));
  }
  // Two pages that write the same picture: the later one in the walk wins, as with one view.
  WriteFile(temp / "src/same.html", BandPage(300, "#f00"));
  WriteFile(temp / "src/same.htm", BandPage(500, "#00f"));
  const auto one = RunRendora({"convert", "src", "one", "--wait", "2"}, temp.path());
  const auto four =
      RunRendora({"convert", "src", "four", "--wait", "2", "--jobs", "4"}, temp.path());
  ASSERT_EQ(one.status, 0) << one.standardError;
  ASSERT_EQ(four.status, 0) << four.standardError;
  const Files files = FilesBelow(temp / "one");
  ASSERT_EQ(files.size(), 9u);
  EXPECT_EQ(FilesBelow(temp / "four"), files);  // no work folder left behind either
  for (const std::string& file : files) {
    EXPECT_TRUE(ReadFile(temp / ("one/" + file)) == ReadFile(temp / ("four/" + file))) << file;
  }
}

TEST(CommandLine, EveryFormatSplitAtThreeJobsIsByteIdenticalToOneAtATime) {
  TempFolder temp;
  WriteFile(temp / "src/tall.html", BandPage(2600, "#c00"));
  WriteFile(temp / "src/short.html", BandPage(400, "#00c"));
  for (const char* format : {"bmp", "png", "jpeg", "webp"}) {
    const std::string f(format);
    for (const char* jobs : {"1", "3"}) {
      const auto result = RunRendora({"convert", "src", f + jobs, "--format", f, "--split",
                                      "1000:50", "--jobs", jobs, "--report", f + jobs + ".jsonl"},
                                     temp.path());
      ASSERT_EQ(result.status, 0) << f << jobs << result.standardError;
    }
    const Files files = FilesBelow(temp / (f + "1"));
    const std::string extension = f == "jpeg" ? "jpg" : f;
    EXPECT_EQ(files, (Files{"short." + extension, "tall-001." + extension, "tall-002." + extension,
                            "tall-003." + extension}));
    EXPECT_EQ(FilesBelow(temp / (f + "3")), files);
    for (const std::string& file : files) {
      EXPECT_TRUE(ReadFile(temp / (f + "1/" + file)) == ReadFile(temp / (f + "3/" + file))) << file;
    }
    // The tall page's record lists its parts as they came to the output folder.
    for (const std::string& line : ReadLines(temp / (f + "3.jsonl"))) {
      const json record = Parse(line);
      if (!record.contains("parts")) continue;
      ASSERT_EQ(record["parts"].size(), 3u);
      long long bytes = 0;
      for (int i = 0; i < 3; ++i) {
        const json& part = record["parts"][i];
        EXPECT_EQ(part["output"],
                  temp / (f + "3/tall-00" + std::to_string(i + 1) + "." + extension));
        EXPECT_EQ(part["top"], i * 950);
        bytes += part["bytes"].get<long long>();
      }
      EXPECT_EQ(record["parts"][2]["height"], 2600 - 1900);
      EXPECT_EQ(record["bytes"], bytes);
    }
  }
}

// The RGBA pixels of a PNG file, top row first; empty when it cannot be read.
std::vector<std::uint8_t> PngPixels(const std::string& path, int& width) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = PNG_FORMAT_RGBA;
  std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
  png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
  width = static_cast<int>(image.width);
  return pixels;
}

TEST(CommandLine, ATransparentBackgroundLeavesThePagesOwnColoursOpaque) {
  TempFolder temp;
  WriteFile(temp / "src/none.html",
            "<body style='margin:0'><div style='height:100px;background:#0c0'></div>"
            "<div style='height:100px;background:rgba(0,0,255,0.5)'></div><p>text</p></body>");
  WriteFile(temp / "src/own.html", "<body style='margin:0;background:#fe9'><p>text</p></body>");
  for (const char* mode : {"--capture=snapshot", "--fixed-wait"}) {
    const auto result = RunRendora(
        {"convert", "src", "out", "--format", "png", "--transparent", mode}, temp.path());
    ASSERT_EQ(result.status, 0) << mode << result.standardError;
    int width = 0;
    const std::vector<std::uint8_t> none = PngPixels(temp / "out/none.png", width);
    ASSERT_GE(none.size(), static_cast<std::size_t>(width) * 4 * 240) << mode;
    const auto at = [&](int x, int y) {
      const std::uint8_t* p = none.data() + (static_cast<std::size_t>(y) * width + x) * 4;
      return std::vector<int>{p[0], p[1], p[2], p[3]};
    };
    EXPECT_EQ(at(10, 50), (std::vector<int>{0, 204, 0, 255})) << mode;
    const std::vector<int> half = at(10, 150);  // its colour, no longer premultiplied
    EXPECT_NEAR(half[3], 128, 2) << mode;
    EXPECT_EQ(half[2], 255) << mode;
    EXPECT_EQ(at(width - 1, 239)[3], 0) << mode << ": where the page sets no background";
    const std::vector<std::uint8_t> own = PngPixels(temp / "out/own.png", width);
    for (std::size_t i = 3; i < own.size(); i += 4) ASSERT_EQ(own[i], 255) << mode;
  }
}

TEST(CommandLine, ShardsSplitThePagesWithoutOverlap) {
  TempFolder temp;
  for (int i = 0; i < 6; ++i) WriteFile(temp / ("src/s" + std::to_string(i) + ".html"), "<p>x</p>");
  const auto first =
      RunRendora({"convert", "src", "out1", "--wait", "1", "--shard", "1/2"}, temp.path());
  const auto second =
      RunRendora({"convert", "src", "out2", "--wait", "1", "--shard", "2/2"}, temp.path());
  ASSERT_EQ(first.status, 0) << first.standardError;
  ASSERT_EQ(second.status, 0) << second.standardError;
  std::set<std::string> all;
  for (const std::string& file : FilesBelow(temp / "out1")) all.insert(file);
  for (const std::string& file : FilesBelow(temp / "out2"))
    EXPECT_TRUE(all.insert(file).second) << file;
  EXPECT_EQ(all.size(), 6u);
}

// A conversion of `pages` slow pages at --jobs GetParam(), caught after its first page. Every
// page waits its whole second, so however unevenly the workers start, most pages are still
// ahead when the signal comes.
class Interrupted : public ::testing::TestWithParam<int> {
 protected:
  void Start(int pages, int height) {
    testing_support::AdoptOrphans();
    for (int i = 0; i < pages; ++i) {
      WriteFile(temp / ("src/p" + std::to_string(i) + ".html"), BandPage(height, "#4a4"));
    }
    command = std::make_unique<testing_support::RunningCommand>(
        std::vector<std::string>{"convert", "src", "out", "--wait", "20", "--no-until-loaded",
                                 "--report", "r.jsonl", "--jobs", std::to_string(GetParam())},
        temp.path());
    ASSERT_TRUE(WaitUntil([&] { return !ReadLines(temp / "r.jsonl").empty(); }, 120));
  }

  TempFolder temp;
  std::unique_ptr<testing_support::RunningCommand> command;
};

TEST_P(Interrupted, CtrlCEndsTheCurrentPageAndLeavesNoPartialFileAndNoServer) {
  Start(16, 3000);
  command->Signal(SIGINT);
  const auto result = command->Wait(120);
  EXPECT_EQ(result.status, 130) << result.standardError;
  const Files files = FilesBelow(temp / "out");
  EXPECT_FALSE(files.empty());
  EXPECT_LT(files.size(), 16u);
  for (const std::string& file : files) {
    EXPECT_EQ(file.substr(file.size() - 4), ".bmp") << file;
    EXPECT_TRUE(WholeBitmap(temp / ("out/" + file))) << file;
  }
  const std::vector<std::string> lines = ReadLines(temp / "r.jsonl");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(Parse(lines.back())["interrupted"], true);
  EXPECT_EQ(lines.size(), files.size() + 1);
  EXPECT_TRUE(WaitUntil([] { return testing_support::ChildProcesses().empty(); }, 5));
}

TEST_P(Interrupted, AKilledCommandLeavesNoServerOrWorkerBehind) {
  Start(4, 2000);
  command->Signal(SIGKILL);
  command->Wait(30);
  EXPECT_TRUE(WaitUntil([] { return testing_support::ChildProcesses().empty(); }, 5));
}

INSTANTIATE_TEST_SUITE_P(Jobs, Interrupted, ::testing::Values(1, 3));

// The render workers of a running command (its children started as workers).
std::vector<pid_t> WorkersOf(pid_t command) {
  std::vector<pid_t> workers;
  for (const std::string& entry : FilesBelowProc()) {
    const pid_t pid = std::atoi(entry.c_str());
    const std::string stat = ReadFile("/proc/" + entry + "/stat");
    const std::size_t end = stat.rfind(')');
    if (pid <= 0 || end == std::string::npos) continue;
    const pid_t parent = std::atoi(stat.c_str() + end + 4);  // after ") S "
    if (parent == command &&
        ReadFile("/proc/" + entry + "/cmdline").find("--render-worker") != std::string::npos) {
      workers.push_back(pid);
    }
  }
  return workers;
}

// A conversion at --jobs 3 with one of its render workers stopped mid-page (SIGSTOP).
class StoppedWorker : public ::testing::Test {
 protected:
  void Start(const std::vector<std::string>& more) {
    testing_support::AdoptOrphans();
    for (int i = 0; i < 6; ++i) {
      WriteFile(temp / ("src/p" + std::to_string(i) + ".html"), BandPage(3000, "#4a4"));
    }
    // Each page waits its whole second: the worker stopped is in a page, not between two.
    std::vector<std::string> arguments = {
        "convert",           "src",    "out", "--wait",   "20",
        "--no-until-loaded", "--jobs", "3",   "--report", "r.jsonl"};
    arguments.insert(arguments.end(), more.begin(), more.end());
    command = std::make_unique<testing_support::RunningCommand>(arguments, temp.path());
    std::vector<pid_t> workers;
    ASSERT_TRUE(WaitUntil([&] { return (workers = WorkersOf(command->pid())).size() == 3; }, 60));
    std::this_thread::sleep_for(std::chrono::seconds(1));  // every worker is in its page
    kill(workers.front(), SIGSTOP);
  }

  // The records of the pages, without the summary.
  std::vector<json> Records() const {
    std::vector<json> records;
    for (const std::string& line : ReadLines(temp / "r.jsonl")) records.push_back(Parse(line));
    if (!records.empty()) records.pop_back();
    return records;
  }

  TempFolder temp;
  std::unique_ptr<testing_support::RunningCommand> command;
};

TEST_F(StoppedWorker, ItsPageTimesOutAndTheRunGoesOnWithoutIt) {
  Start({"--page-timeout", "2"});
  const auto result = command->Wait(180);
  EXPECT_EQ(result.status, 1) << result.standardError;
  const std::vector<json> records = Records();
  ASSERT_EQ(records.size(), 6u);
  int timedOut = 0;
  for (const json& record : records) {
    if (record["outcome"] == "failed") {
      EXPECT_EQ(record["reason"], "timeout");
      EXPECT_TRUE(record["source"].get<std::string>().starts_with(temp / "src/p"));
      ++timedOut;
    } else {
      EXPECT_EQ(record["outcome"], "written");
    }
  }
  EXPECT_EQ(timedOut, 1);
  EXPECT_EQ(FilesBelow(temp / "out").size(), 5u);
  EXPECT_TRUE(WaitUntil([] { return testing_support::ChildProcesses().empty(); }, 5));
}

TEST_F(StoppedWorker, CtrlCEndsTheRunWithoutWaitingForIt) {
  Start({});  // the page timeout (30 s) would come far later than the end
  const auto interrupted = std::chrono::steady_clock::now();
  command->Signal(SIGINT);
  const auto result = command->Wait(120);
  EXPECT_EQ(result.status, 130) << result.standardError;
  // The other pages in progress finish their own waits (a few seconds); the stopped one is not
  // waited for.
  EXPECT_LT(std::chrono::steady_clock::now() - interrupted, std::chrono::seconds(20));
  const std::vector<json> records = Records();
  const auto stopped = std::count_if(records.begin(), records.end(), [](const json& record) {
    return record["outcome"] == "skipped" && record["reason"] == "stopped";
  });
  EXPECT_EQ(stopped, 1);
  EXPECT_TRUE(WaitUntil([] { return testing_support::ChildProcesses().empty(); }, 5));
}

// Pages that print, ask for a password, a permission, a new window or to close their view: at
// one job and at several, no page holds up the run and each page's record names what it asked.
class EngineRequests : public ::testing::TestWithParam<int> {};

TEST_P(EngineRequests, NoPageHoldsUpTheRunAndEachRecordNamesWhatThePageAsked) {
  TempFolder temp;
  testing_support::HttpServer site;
  site.Serve("/print.html", testing_support::Answer(200, "<script>print();</script>"));
  site.Serve("/secret.html",
             testing_support::Answer(401, "refused", "text/html",
                                     {{"WWW-Authenticate", "Basic realm=\"members\""}}));
  const std::string frame = "<iframe src=\"";
  const struct {
    const char* name;
    std::string html;
    std::vector<std::string> answered;
  } pages[] = {
      {"print.html", "<p>a</p><script>print();</script>", {"print"}},
      {"timer.html", "<p>b</p><script>setTimeout(print, 10);</script>", {"print"}},
      {"frame.html", frame + "print-frame.htm\"></iframe>", {"print"}},
      {"print-frame.htm", "<script>print();</script>", {"print"}},
      {"cross.html", frame + site.Address("/print.html") + "\"></iframe>", {"print"}},
      {"secret.html", frame + site.Address("/secret.html") + "\"></iframe>", {"authentication"}},
      {"where.html",
       "<script>navigator.geolocation.getCurrentPosition(Date, Date);</script>",
       {"permission"}},
      {"close.html", "<p>c</p><script>window.close();</script>", {}},
      {"open.html", "<p>d</p><script>window.open('print.html');</script>", {}},
  };
  for (const auto& page : pages) WriteFile(temp / ("src/" + std::string(page.name)), page.html);
  const auto result = RunRendora({"convert", "src", "out", "--until-loaded", "--report", "r.jsonl",
                                  "--jobs", std::to_string(GetParam())},
                                 temp.path(), 120);
  ASSERT_EQ(result.status, 0) << result.standardError;
  std::vector<std::string> lines = ReadLines(temp / "r.jsonl");
  ASSERT_EQ(lines.size(), std::size(pages) + 1);
  lines.pop_back();  // the summary
  for (const auto& page : pages) {
    SCOPED_TRACE(page.name);
    const auto line = std::find_if(lines.begin(), lines.end(), [&](const std::string& text) {
      return Parse(text)["source"] == temp / ("src/" + std::string(page.name));
    });
    ASSERT_NE(line, lines.end());
    const json record = Parse(*line);
    EXPECT_EQ(record["outcome"], "written");
    EXPECT_EQ(record.value("answered", std::vector<std::string>()), page.answered);
  }
}

INSTANTIATE_TEST_SUITE_P(Jobs, EngineRequests, ::testing::Values(1, 3));

}  // namespace
