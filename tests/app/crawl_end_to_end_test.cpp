// Crawls from end to end: the real main window, browser and HTTP transfer against a small site
// served on 127.0.0.1, checked through the requests the server saw, the files the run left, the
// status line and the pixels of the bitmaps.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/window.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "browser/event_pump.h"
#include "app/main_dialog.h"
#include "base/file_system.h"
#include "dialogs/message_box.h"
#include "dialogs/wx_text.h"
#include "resources/control_ids.h"
#include "resources/texts.h"
#include "support/http_server.h"
#include "support/temp_folder.h"
#include "support_gui/message_recorder.h"

namespace {

using resources::Text;
using resources::TextId;
using settings::Field;
using testing_support::Answer;
using testing_support::HttpServer;
using testing_support::MessageRecorder;
using testing_support::ReadFile;
using testing_support::RecordedRequest;
using testing_support::Sjis;
using testing_support::TempFolder;

struct Colour {
  unsigned char red, green, blue;
};

// A page of one solid colour, tall enough that its middle shows nothing but the background;
// `links` stands at its top.
std::string ColourPage(Colour colour, const std::string& links,
                       const std::string& bodyAttributes = {}) {
  char background[8];
  std::snprintf(background, sizeof background, "#%02x%02x%02x", colour.red, colour.green,
                colour.blue);
  return "<html><head><title>page</title></head><body " + bodyAttributes +
         " style=\"margin:0;background-color:" + background + "\">\n<div style=\"height:80px\">" +
         links + "</div><div style=\"height:600px\"></div></body></html>";
}

// A one-pixel picture in `colour`, so that a picture the browser draws never changes the
// colour of a page.
std::string OnePixelGif(Colour colour) {
  const unsigned char bytes[] = {
      'G',         'I',  'F', '8', '9',  'a', 1, 0, 1, 0, 0x80, 0, 0, colour.red, colour.green,
      colour.blue, 0,    0,   0,   0x2C, 0,   0, 0, 0, 1, 0,    1, 0, 0,          2,
      2,           0x44, 1,   0,   0x3B};
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

constexpr Colour kRed{255, 0, 0}, kGreen{0, 200, 0}, kBlue{0, 0, 255}, kCyan{0, 255, 255},
    kMagenta{255, 0, 255}, kYellow{255, 255, 0}, kOrange{255, 128, 0}, kPurple{128, 0, 128},
    kTeal{0, 128, 128}, kOlive{128, 128, 0}, kNavy{0, 0, 128}, kGrey{96, 96, 96};

// The site: pages in a subfolder, links of every form, pictures that pass the rules (.cgi
// addresses, one with a query) and one that does not, a body background, an option value,
// frames, a query page that answers GET and POST differently and a page that is missing. A
// second folder holds a page with a Japanese name.
class CrawlSite {
 public:
  CrawlSite() {
    const std::string port = std::to_string(m_server.port());
    Page("/site/index.htm", kRed,
         "<IMG SRC=\"pics/Photo.cgi\" width=1 height=1>"
         "<img src=\"plain.gif\" width=1 height=1>\n"
         "<a href=\"sub/page.html\">sub</a> "
         "<a href=\"http://127.0.0.1:" +
             port +
             "/site/abs.html\">abs</a> "
             "<a href=\"http://127.0.0.1:" +
             port +
             "/other/out.html\">out</a> "
             "<a href=\"list.cgi?p=2\">list</a> <a href=\"missing.html\">gone</a> "
             "<a href=\"file.zip\">zip</a> <a href=\"mailto:someone@example.com\">mail</a> "
             "<a href=\"frames.html#top\">frames</a>\n"
             "<select><option value=\"choice.html\">choice</option></select>",
         "background=\"pics/bg.cgi?tone=red\"");
    m_server.Serve("/site/pics/Photo.cgi", Answer(200, OnePixelGif(kRed), "image/gif"));
    m_server.Serve("/site/pics/bg.cgi?tone=red", Answer(200, OnePixelGif(kRed), "image/gif"));
    Page("/site/sub/page.html", kGreen,
         "<a href=\"../up.html\">up</a> <a href=\"../index.htm\">home</a> "
         "<a href=\"../../top.html\">top</a> <a href=\"/site/sub/deep.html\">deep</a>");
    Page("/site/abs.html", kBlue, "<a href=\"index.htm\">home</a>");
    // The form requests read the POST answer; the browser shows the GET answer.
    m_server.Serve("GET", "/site/list.cgi?p=2",
                   Answer(200, ColourPage(kCyan, "<a href=\"fromget.html\">get</a>")));
    m_server.Serve("POST", "/site/list.cgi?p=2",
                   Answer(200, ColourPage(kMagenta, "<a href=\"frompost.html\">post</a>")));
    m_server.Serve("/site/frames.html",
                   Answer(200,
                          "<html><frameset cols=\"50%,50%\"><frame src=\"menu.html\">"
                          "<frame src=\"list.cgi?p=2\"></frameset></html>"));
    Page("/site/choice.html", kOrange, "choice");
    Page("/site/up.html", kPurple, "up");
    Page("/site/sub/deep.html", kTeal, "deep");
    Page("/site/frompost.html", kOlive, "post");
    Page("/site/menu.html", kNavy, "menu");
    Page("/other/out.html", kGrey, "outside the start folder");
    Page("/jp/index.htm", kRed, Sjis("<a href=\"ページ.html\">日本語</a>"));
    // The name goes out as its code-page-932 bytes, escaped where a request line needs it.
    Page("/jp/%83y%81[%83W.html", kYellow, Sjis("日本語のページ"));
  }

  const HttpServer& server() const { return m_server; }
  std::string Address(const std::string& target) const { return m_server.Address(target); }
  // The output folder of a mirrored address: http/127.0.0.1<port>/...
  std::string Mirrored(const std::string& rest) const {
    return "http/127.0.0.1" + std::to_string(m_server.port()) + "/" + rest;
  }

 private:
  void Page(const std::string& target, Colour colour, const std::string& links,
            const std::string& bodyAttributes = {}) {
    m_server.Serve(target, Answer(200, ColourPage(colour, links, bodyAttributes)));
  }

  HttpServer m_server;
};

// "METHOD target version agent" of a request, and whether the crawl itself sent it (the
// browser's own requests carry its agent).
std::string Describe(const RecordedRequest& request) {
  return request.method + " " + request.target + " " + request.version + " " +
         request.Header("User-Agent");
}

bool FromTheCrawl(const RecordedRequest& request) {
  static const std::set<std::string> agents{"HTML Get Sample", "GetServer", "PostServer",
                                            "My Session"};
  return agents.count(request.Header("User-Agent")) == 1;
}

// Every file below `folder`, as UTF-8 paths relative to it, with its size.
std::map<std::string, std::uintmax_t> FileTree(const std::string& folder) {
  std::map<std::string, std::uintmax_t> files;
  const std::filesystem::path root = base::ToNativePath(folder).value();
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) {
      files[entry.path().lexically_relative(root).string()] = entry.file_size();
    }
  }
  return files;
}

std::set<std::string> Names(const std::map<std::string, std::uintmax_t>& tree) {
  std::set<std::string> names;
  for (const auto& [name, size] : tree) names.insert(name);
  return names;
}

// The colour of the bitmap's middle pixel, or nothing when the file is no 32-bit bitmap.
std::optional<Colour> MiddleColour(const std::string& path) {
  const std::string bitmap = ReadFile(path);
  if (bitmap.size() < 54 || bitmap.substr(0, 2) != "BM") return std::nullopt;
  auto number = [&](std::size_t offset) {
    std::uint32_t value = 0;
    for (int k = 3; k >= 0; --k) {
      value = value << 8 | static_cast<unsigned char>(bitmap[offset + k]);
    }
    return static_cast<std::int64_t>(static_cast<std::int32_t>(value));
  };
  const std::int64_t width = number(18), height = number(22);
  if (number(28) >> 16 != 0 || (number(28) & 0xFFFF) != 32 || width <= 0 || height <= 0) {
    return std::nullopt;
  }
  const std::size_t offset = number(10) + ((height / 2) * width + width / 2) * 4;
  if (offset + 3 > bitmap.size()) return std::nullopt;
  return Colour{static_cast<unsigned char>(bitmap[offset + 2]),
                static_cast<unsigned char>(bitmap[offset + 1]),
                static_cast<unsigned char>(bitmap[offset])};
}

std::string Hex(std::optional<Colour> colour) {
  if (!colour) return "no bitmap";
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", colour->red, colour->green, colour->blue);
  return text;
}

class CrawlEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MessageRecorder::Clear();
    m_startFolder = base::GetCurrentDirectory();
    // Each message is kept with the status line as it stood when the message came.
    dialogs::SetMessageBoxRecorder([this](const std::string& text) {
      MessageRecorder::Messages().push_back(text);
      m_statusAtMessage.push_back(dialogs::FromWx(m_dialog->FindWindow(ids::kStatus)->GetLabel()));
    });
    m_dialog = new MainDialog(m_program.path());
    m_dialog->Show();
    browser::PumpPendingEvents();
  }
  void TearDown() override {
    MessageRecorder::Install();
    if (!wxTheApp->IsScheduledForDestruction(m_dialog)) m_dialog->Destroy();
    browser::PumpPendingEvents();
    wxTheApp->ProcessIdle();
    base::SetCurrentDirectory(m_startFolder);
  }

  // Crawls the site from its folder address, so that the default documents are probed.
  void Crawl(bool same, const std::string& count, const std::string& folder = "/site/") {
    MainDialog& dialog = *m_dialog;
    dialog.SetOptionText(Field::kReadPath, m_site.Address(folder));
    dialog.SetOptionText(Field::kWritePath, m_work / "out");
    dialog.SetOptionText(Field::kSize, "400");
    dialog.SetOptionText(Field::kWait, "20");  // about a second for each page to load
    dialog.SetOptionText(Field::kPercent, "100");
    dialog.SetOptionText(Field::kCount, count);
    dialog.SetOptionText(Field::kLinkCount, "500");
    dialog.SetOptionChecked(Field::kAnotherUrl, true);
    dialog.SetOptionChecked(Field::kServer, true);
    dialog.SetOptionChecked(Field::kFilter, false);
    dialog.SetOptionChecked(Field::kSame, same);
    dialog.OnStart();
  }

  std::vector<std::string> CrawlRequests() const {
    std::vector<std::string> lines;
    for (const auto& request : m_site.server().Requests()) {
      if (FromTheCrawl(request)) lines.push_back(Describe(request));
    }
    return lines;
  }

  // Whether the browser asked for `pages` in this order (its requests for pictures and frames
  // may come in between).
  bool BrowserLoadedInOrder(const std::vector<std::string>& pages) const {
    auto next = pages.begin();
    for (const auto& request : m_site.server().Requests()) {
      if (next != pages.end() && !FromTheCrawl(request) && request.target == *next) ++next;
    }
    return next == pages.end();
  }

  std::string Status() const {
    return dialogs::FromWx(m_dialog->FindWindow(ids::kStatus)->GetLabel());
  }

  CrawlSite m_site;
  TempFolder m_program;
  TempFolder m_work;
  MainDialog* m_dialog = nullptr;
  std::vector<std::string> m_statusAtMessage;
  std::string m_startFolder;
};

const std::string kGet = "HTML Get Sample";

TEST_F(CrawlEndToEndTest, MirroredCrawlFetchesBreadthFirstAndRendersEveryPage) {
  Crawl(/*same=*/false, "100");

  const std::string address = m_site.Address("/site/");
  // Seeding probes the default documents; then the queue in the order the links were found:
  // pictures, background, anchors, option values, frames, page after page.
  EXPECT_EQ(CrawlRequests(), (std::vector<std::string>{
                                 "GET /site/index.html HTTP/1.1 " + kGet,
                                 "GET /site/index.htm HTTP/1.1 " + kGet,
                                 "GET /site/index.htm HTTP/1.1 " + kGet,
                                 "GET /site/pics/Photo.cgi HTTP/1.1 " + kGet,
                                 "GET /site/pics/bg.cgi?tone=red HTTP/1.0 My Session",
                                 "GET /site/sub/page.html HTTP/1.1 " + kGet,
                                 "GET /site/abs.html HTTP/1.1 " + kGet,
                                 "GET /site/list.cgi?p=2 HTTP/1.0 GetServer",
                                 "POST /site/list.cgi?p=2 HTTP/1.0 PostServer",
                                 "GET /site/missing.html HTTP/1.1 " + kGet,
                                 "GET /site/frames.html HTTP/1.1 " + kGet,
                                 "GET /site/choice.html HTTP/1.1 " + kGet,
                                 "GET /site/up.html HTTP/1.1 " + kGet,
                                 "GET /site/sub/deep.html HTTP/1.1 " + kGet,
                                 "GET /site/frompost.html HTTP/1.1 " + kGet,
                                 "GET /site/menu.html HTTP/1.1 " + kGet,
                             }));
  // The request shapes: the form requests and the query download carry the form header, and
  // the query download sends its own address as the body. At the default connection options
  // every head is the window's own, byte for byte: no Referer, no cookie, no header added.
  const std::string host = "Host: 127.0.0.1:" + std::to_string(m_site.server().port());
  for (const auto& request : m_site.server().Requests()) {
    if (!FromTheCrawl(request)) continue;
    const std::string agent = request.Header("User-Agent");
    const std::string line = request.method + " " + request.target + " " + request.version;
    EXPECT_EQ(request.head, agent == kGet
                                ? line + "\r\n" + host + "\r\nAccept: text\r\nUser-Agent: " + kGet
                                : line + "\r\n" + host + "\r\nUser-Agent: " + agent +
                                      "\r\nContent-Type: application/x-www-form-urlencoded" +
                                      "\r\nContent-Length: " + std::to_string(request.body.size()));
    if (agent == kGet) {
      EXPECT_EQ(request.Header("Accept"), "text") << request.target;
      EXPECT_EQ(request.body, "") << request.target;
    } else {
      EXPECT_EQ(request.Header("Content-Type"), "application/x-www-form-urlencoded") << agent;
      EXPECT_EQ(request.body, agent == "My Session" ? m_site.Address(request.target) : "") << agent;
    }
  }

  // The browser loaded every rendered page itself, one after the other.
  const std::vector<std::string> rendered{
      "/site/index.htm",     "/site/sub/page.html", "/site/abs.html", "/site/list.cgi?p=2",
      "/site/frames.html",   "/site/choice.html",   "/site/up.html",  "/site/sub/deep.html",
      "/site/frompost.html", "/site/menu.html"};
  EXPECT_TRUE(BrowserLoadedInOrder(rendered));

  // Bitmaps and files mirror the addresses; the missing page left nothing.
  const std::string site = m_site.Mirrored("site/");
  const auto tree = FileTree(m_work / "out");
  EXPECT_EQ(Names(tree),
            (std::set<std::string>{site + "index.bmp", site + "abs.bmp", site + "list.bmp",
                                   site + "frames.bmp", site + "choice.bmp", site + "up.bmp",
                                   site + "frompost.bmp", site + "menu.bmp", site + "sub/page.bmp",
                                   site + "sub/deep.bmp", site + "pics/Photo.cgi",
                                   site + "pics/bgtone=red.cgi"}));
  const std::string out = m_work / "out/" + site;
  EXPECT_EQ(ReadFile(out + "pics/Photo.cgi"), OnePixelGif(kRed));
  EXPECT_EQ(ReadFile(out + "pics/bgtone=red.cgi"), OnePixelGif(kRed));

  const std::map<std::string, Colour> colours{
      {"index.bmp", kRed},     {"sub/page.bmp", kGreen}, {"abs.bmp", kBlue},
      {"list.bmp", kCyan},     {"choice.bmp", kOrange},  {"up.bmp", kPurple},
      {"sub/deep.bmp", kTeal}, {"frompost.bmp", kOlive}, {"menu.bmp", kNavy}};
  for (const auto& [name, colour] : colours) {
    EXPECT_EQ(Hex(MiddleColour(out + name)), Hex(colour)) << name;
  }

  // 13 entries, the missing page the only failure; the crawl's count stood in the status line
  // when the closing message came.
  EXPECT_EQ(MessageRecorder::Messages(),
            (std::vector<std::string>{Text(TextId::kFolderMissing), Text(TextId::kRunFinished)}));
  EXPECT_EQ(m_statusAtMessage.back(), resources::DownloadCountText(12));
  EXPECT_EQ(resources::DownloadCountText(12), Sjis("ダウンロード件数 12"));
  EXPECT_EQ(Status(), resources::ProcessedCountText(13));
  EXPECT_EQ(m_dialog->m_crawl.m_startFolder, address);
  EXPECT_EQ(m_dialog->m_crawl.m_startServer, "127.0.0.1");
}

TEST_F(CrawlEndToEndTest, FlatCrawlStopsAtTheEntryLimitAndWritesEverythingIntoOneFolder) {
  Crawl(/*same=*/true, "6");

  // Six entries: the page, its two pictures, and the first three of its links.
  EXPECT_EQ(CrawlRequests(), (std::vector<std::string>{
                                 "GET /site/index.html HTTP/1.1 " + kGet,
                                 "GET /site/index.htm HTTP/1.1 " + kGet,
                                 "GET /site/index.htm HTTP/1.1 " + kGet,
                                 "GET /site/pics/Photo.cgi HTTP/1.1 " + kGet,
                                 "GET /site/pics/bg.cgi?tone=red HTTP/1.0 My Session",
                                 "GET /site/sub/page.html HTTP/1.1 " + kGet,
                                 "GET /site/abs.html HTTP/1.1 " + kGet,
                                 "GET /site/list.cgi?p=2 HTTP/1.0 GetServer",
                                 "POST /site/list.cgi?p=2 HTTP/1.0 PostServer",
                             }));
  const auto tree = FileTree(m_work / "out");
  EXPECT_EQ(Names(tree), (std::set<std::string>{"index.bmp", "page.bmp", "abs.bmp", "list.bmp",
                                                "Photo.cgi", "bgtone=red.cgi"}));
  for (const auto& [name, colour] : std::map<std::string, Colour>{
           {"index.bmp", kRed}, {"page.bmp", kGreen}, {"abs.bmp", kBlue}, {"list.bmp", kCyan}}) {
    EXPECT_EQ(Hex(MiddleColour(m_work / "out/" + name)), Hex(colour)) << name;
  }
  EXPECT_EQ(m_statusAtMessage.back(), resources::DownloadCountText(6));
  EXPECT_EQ(Status(), resources::ProcessedCountText(6));
  EXPECT_EQ(Status(), Sjis("6件のHTMLを処理しました"));
  EXPECT_EQ(m_dialog->m_crawl.size(), 6) << "harvesting queues no more than the limit";
}

TEST_F(CrawlEndToEndTest, PageWithAJapaneseNameIsFetchedAndRenderedUnderItsName) {
  Crawl(/*same=*/false, "100", "/jp/");

  EXPECT_EQ(
      CrawlRequests(),
      (std::vector<std::string>{
          "GET /jp/index.html HTTP/1.1 " + kGet, "GET /jp/index.htm HTTP/1.1 " + kGet,
          "GET /jp/index.htm HTTP/1.1 " + kGet, "GET /jp/%83y%81[%83W.html HTTP/1.1 " + kGet}));
  EXPECT_EQ(m_statusAtMessage.back(), resources::DownloadCountText(2));
  EXPECT_EQ(Status(), resources::ProcessedCountText(2));
  // The browser asks for the page under the same escaped name, and its bitmap is named after it.
  EXPECT_TRUE(BrowserLoadedInOrder({"/jp/index.htm", "/jp/%83y%81[%83W.html"}));
  const std::string folder = m_site.Mirrored("jp/");
  EXPECT_EQ(Names(FileTree(m_work / "out")),
            (std::set<std::string>{folder + "index.bmp", folder + "ページ.bmp"}));
  EXPECT_EQ(Hex(MiddleColour(m_work / "out/" + folder + Sjis("ページ.bmp"))), Hex(kYellow));
}

}  // namespace
