// What is asked of every page: the style sheet of hidden and removed elements, the area of one
// element's picture, and the options a settings file holds.
#include "convert/page_options.h"

#include <gtest/gtest.h>

#include "settings/profile_file.h"
#include "settings/settings_keys.h"
#include "support/temp_folder.h"

namespace {

using convert::ElementArea;
using convert::PixelRect;
using testing_support::Sjis;
using testing_support::WriteFile;

TEST(PageStyleSheet, GivesEachSelectorARuleOfItsOwn) {
  EXPECT_EQ(convert::PageStyleSheet({}), "");
  convert::PageOptions options;
  options.hide = {".cookie", "#a, #b"};
  options.remove = {"aside"};
  options.style = "body { color: red }";  // added after the load, not from the start
  EXPECT_EQ(convert::PageStyleSheet(options),
            ".cookie { visibility: hidden !important; }\n"
            "#a, #b { visibility: hidden !important; }\n"
            "aside { display: none !important; }\n");
}

TEST(ElementArea, IsTheElementWithItsPaddingInsideThePage) {
  struct Case {
    const char* what;
    PixelRect element;
    int padding;
    std::optional<PixelRect> area;
  } cases[] = {
      {"inside", {20, 120, 200, 150}, 0, PixelRect{20, 120, 200, 150}},
      {"padded", {20, 120, 200, 150}, 10, PixelRect{10, 110, 220, 170}},
      {"padding cut at the page's edges", {5, 0, 100, 50}, 10, PixelRect{0, 0, 115, 60}},
      {"wider than the page", {-50, 10, 2000, 30}, 0, PixelRect{0, 10, 800, 30}},
      {"reaching below the page", {0, 900, 100, 500}, 0, PixelRect{0, 900, 100, 100}},
      {"no size", {10, 10, 0, 0}, 0, std::nullopt},
      {"no size, padded", {10, 10, 0, 0}, 3, PixelRect{7, 7, 6, 6}},
      {"outside the page", {900, 10, 50, 50}, 0, std::nullopt},
      {"far down with the largest padding", {0, 2000000000, 10, 10}, 100000, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ElementArea(c.element, c.padding, 800, 1000), c.area) << c.what;
  }
}

TEST(ReadPageOptions, TakesListsLongTextsFromFilesAndNothingWhenMissing) {
  testing_support::TempFolder folder;
  const settings::ProfileFile profile;
  const std::string path = folder / "s.ini";
  EXPECT_EQ(convert::ReadPageOptions(settings::KeyFile(profile, path)), convert::PageOptions());
  WriteFile(folder / "clean.css", "body { background: #000 }\n.x { color: #fff }\n");
  WriteFile(path, Sjis("[初期表示]\r\nSelector=#表\r\nPadding=12\r\nHideCount=2\r\nHide1=.a\r\n"
                       "Hide2=.b\r\nHide3=.left-over\r\nRemoveCount=1\r\nRemove1=aside\r\n"
                       "Style=@clean.css\r\nScript=window.x = 1\r\nNoJavaScript=on\r\n"
                       "Confine=1\r\nNoNetwork=off\r\n"));
  const convert::PageOptions read = convert::ReadPageOptions(settings::KeyFile(profile, path));
  EXPECT_EQ(read.selector, Sjis("#表"));
  EXPECT_EQ(read.padding, 12);
  EXPECT_EQ(read.hide, (std::vector<std::string>{".a", ".b"}));
  EXPECT_EQ(read.remove, std::vector<std::string>{"aside"});
  EXPECT_EQ(read.style, "body { background: #000 }\n.x { color: #fff }\n");
  EXPECT_EQ(read.script, "window.x = 1");
  EXPECT_TRUE(read.noJavaScript);
  EXPECT_TRUE(read.confine);
  EXPECT_FALSE(read.noNetwork);
  // A padding beyond any picture reads as none.
  WriteFile(path, "[" + Sjis("初期表示") + "]\r\nPadding=100001\r\n");
  EXPECT_EQ(convert::ReadPageOptions(settings::KeyFile(profile, path)).padding, 0);
}

}  // namespace
