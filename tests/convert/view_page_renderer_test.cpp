// Rendering one page: status text, geometry, options read per page, output names and refusals.
#include "convert/view_page_renderer.h"

#include <gtest/gtest.h>

#include "base/file_system.h"
#include "resources/texts.h"
#include "support/fake_page_view.h"
#include "support/fake_run_controls.h"
#include "support/temp_folder.h"

namespace {

using convert::CaptureOutcome;
using settings::Field;
using testing_support::Sjis;

convert::PageJob Job(const std::string& location, const std::string& name,
                     const std::string& outputFolder, int pageNumber = 1) {
  return convert::PageJob{location, name, outputFolder, pageNumber, {}};
}

struct Rendering {
  Rendering() : view(781, 1200, 800, 724), rendering(state, controls, view) {
    controls.texts[Field::kSize] = "800";
    controls.texts[Field::kWait] = "1";
    controls.texts[Field::kPercent] = "100";
  }
  testing_support::TempFolder folder;
  testing_support::FakeRunControls controls;
  testing_support::FakePageView view;
  convert::RunState state;
  convert::ViewPageRenderer rendering;
};

TEST(OutputPathFor, CutsAtTheLastDotAndAddsBmp) {
  struct Case {
    std::string name, path;
  } cases[] = {
      {"page.html", "/out/page.bmp"},
      {"a.b.html", "/out/a.b.bmp"},
      {".htm", "/out/bmp"},
      {"html", "/out/bmp"},
      {"x.htm.bak", "/out/x.htm.bmp"},
      {"html_notes.txt", "/out/html_notes.bmp"},
      {Sjis("ページ.html"), "/out/" + Sjis("ページ.bmp")},
      {Sjis("表.htm"), "/out/" + Sjis("表.bmp")},  // 表 ends in the byte 0x5C
  };
  for (const auto& c : cases) EXPECT_EQ(convert::OutputPathFor("/out/", c.name), c.path) << c.name;
}

TEST(OutputPathFor, RefusesPathsLongerThan999Bytes) {
  const std::string folder = "/" + std::string(990, 'd') + "/";  // 992 bytes
  EXPECT_EQ(convert::OutputPathFor(folder, "abc.html").value_or("").size(), 999u);
  EXPECT_FALSE(convert::OutputPathFor(folder, "abcd.html"));
}

TEST(RenderPage, ShowsProgressPlacesTheWindowLoadsAndWritesTheBitmap) {
  Rendering r;
  const std::string name = Sjis("ページ.html");
  convert::PageJob job = Job("/src/" + name, name, r.folder.path(), 3);
  job.known.kind = "url";  // what the caller knew comes back in the record
  const convert::PageResult result = r.rendering.RenderPage(job);
  EXPECT_EQ(result.taken, convert::PageTaken::kRendered);
  ASSERT_TRUE(result.record);
  EXPECT_EQ(result.record->source, "/src/" + name);
  EXPECT_EQ(result.record->kind, "url");
  EXPECT_EQ(result.record->outcome, convert::EntryOutcome::kWritten);
  EXPECT_EQ(result.record->output, r.folder / Sjis("ページ.bmp"));
  EXPECT_TRUE(r.controls.records.empty()) << "the caller records the page";
  EXPECT_EQ(r.controls.statusTexts,
            std::vector<std::string>{Sjis("3件目 ") + name + Sjis(" 処理中")});
  EXPECT_EQ(r.controls.placements, (std::vector<std::pair<int, int>>{{800, 1024}}));
  EXPECT_EQ(r.view.navigations, std::vector<std::string>{"/src/" + name});
  EXPECT_EQ(r.view.redraws, 1);
  EXPECT_EQ(r.rendering.LastOutcome(), CaptureOutcome::kWritten);
  EXPECT_TRUE(base::FileExists(r.folder / Sjis("ページ.bmp")));
}

TEST(RenderPage, ReadsSizeAndWaitAfreshForEveryPage) {
  Rendering r;
  r.controls.texts[Field::kSize] = " +640px";
  r.controls.texts[Field::kWait] = "3";
  r.rendering.RenderPage(Job("/a.htm", "a.htm", r.folder.path()));
  EXPECT_EQ(r.state.m_captureWidth, 640);
  EXPECT_EQ(r.state.m_wait, 3);
  r.controls.texts[Field::kSize] = "700";
  r.controls.texts[Field::kWait] = "x";
  r.rendering.RenderPage(Job("/b.htm", "b.htm", r.folder.path()));
  EXPECT_EQ(r.state.m_captureWidth, 700);
  EXPECT_EQ(r.state.m_wait, 0);
  EXPECT_EQ(r.controls.placements, (std::vector<std::pair<int, int>>{{640, 1024}, {700, 1024}}));
}

TEST(RenderPage, PagesWithoutUsableViewOrPathAreNotLoadedButCount) {
  struct Case {
    const char* what;
    std::string size;
    int screenHeight;
    int nameLength;
    CaptureOutcome outcome;
  } cases[] = {
      {"Size 0", "0", 1024, 8, CaptureOutcome::kNoUsableArea},
      {"Size -800", "-800", 1024, 8, CaptureOutcome::kNoUsableArea},
      {"Size empty", "", 1024, 8, CaptureOutcome::kNoUsableArea},
      {"Size beyond any window", "99999999999", 1024, 8, CaptureOutcome::kNoUsableArea},
      {"screen 305 high", "800", 305, 8, CaptureOutcome::kNoUsableArea},
      {"path of 1000 bytes", "800", 1024, 1000, CaptureOutcome::kPathTooLong},
  };
  for (const auto& c : cases) {
    Rendering r;
    r.controls.texts[Field::kSize] = c.size;
    r.controls.screenHeight = c.screenHeight;
    const std::string name = std::string(c.nameLength - 5, 'n') + ".html";
    const convert::PageResult result = r.rendering.RenderPage(Job("/src/" + name, name, "/"));
    EXPECT_EQ(result.taken, convert::PageTaken::kRendered) << c.what;
    EXPECT_EQ(result.record.value().outcome, convert::EntryOutcome::kFailed) << c.what;
    EXPECT_EQ(r.rendering.LastOutcome(), c.outcome) << c.what;
    EXPECT_TRUE(r.view.navigations.empty()) << c.what;
    EXPECT_TRUE(r.controls.placements.empty()) << c.what;
    EXPECT_EQ(r.controls.statusTexts.size(), 1u) << c.what;  // the progress text still shows
  }
}

TEST(PageRecord, CarriesIncompletePagesAndAnsweredRequests) {
  struct Case {
    CaptureOutcome outcome;
    bool complete, answered;  // answered: the page made requests of the engine
    convert::EntryOutcome entry;
    const char* reason;
    bool output;
  } cases[] = {
      {CaptureOutcome::kWritten, true, false, convert::EntryOutcome::kWritten, "", true},
      {CaptureOutcome::kWritten, false, false, convert::EntryOutcome::kIncomplete, "still loading",
       true},
      {CaptureOutcome::kWritten, true, true, convert::EntryOutcome::kWritten, "", true},
      {CaptureOutcome::kNotMeasured, false, true, convert::EntryOutcome::kFailed, "not loaded",
       false},
  };
  for (const Case& c : cases) {
    convert::CaptureResult capture;
    capture.outcome = c.outcome;
    capture.complete = c.complete;
    if (c.answered) {
      capture.answered.Add(convert::EngineRequest::kScriptDialog);
      capture.answered.Add(convert::EngineRequest::kNewWindow);
    }
    const convert::EntryRecord record =
        convert::PageRecord({}, "/src/a.html", "/out/a.bmp", capture, 5);
    EXPECT_EQ(record.outcome, c.entry) << c.reason;
    EXPECT_STREQ(convert::ReasonToken(record.reason), c.reason);
    EXPECT_EQ(record.answered, capture.answered) << c.reason;
    EXPECT_EQ(record.output.has_value(), c.output) << c.reason;
  }
}

TEST(RenderPage, APageWithoutADocumentIsNamedOnTheStatusLine) {
  for (bool loads : {true, false}) {
    Rendering r;
    r.view.measureFails = !loads;
    const std::string name = Sjis("ページ.html");
    r.rendering.RenderPage(Job(r.folder / name, name, r.folder / "", 3));
    ASSERT_FALSE(r.controls.statusTexts.empty());
    EXPECT_EQ(r.controls.status(),
              loads ? resources::PageProgressText(3, name) : resources::PageNotLoadedText(3, name));
    EXPECT_EQ(r.rendering.LastOutcome(),
              loads ? CaptureOutcome::kWritten : CaptureOutcome::kNotMeasured);
  }
}

}  // namespace
