// The fast scanner and harvesting against the plain transcription, on generated, mutated and
// random pages: every call's value, position and tag text, and every queue built from a page.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/text.h"
#include "download/link_harvester.h"
#include "download/link_scanner.h"
#include "reference/link_rules_transcription.h"
#include "support/fake_run_controls.h"
#include "support/queue_kind_names.h"

namespace {

using settings::Field;

class PageMaker {
 public:
  explicit PageMaker(unsigned seed) : m_random(seed) {}

  int Number(int below) { return std::uniform_int_distribution<int>(0, below - 1)(m_random); }
  template <typename T, std::size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Number(N)];
  }

  // Text between tags: words, Japanese text with the awkward trail bytes, stray brackets.
  std::string Filler() {
    static const char* const pieces[] = {"text ",
                                         "a ",
                                         "Alpha ",
                                         "\x83\x61",
                                         "\x95\x5C",
                                         "\x83\x41",
                                         "\x81\x81\x81",
                                         "\x82\xA0",
                                         "\x93\xFA\x96\x7B\x8C\xEA",
                                         "\x81",
                                         "=",
                                         "'",
                                         "\"",
                                         "#",
                                         " ",
                                         "\r\n",
                                         "\t",
                                         "src",
                                         "href",
                                         "img",
                                         ".css",
                                         "next.html",
                                         "List.CGI?p=1",
                                         ">",
                                         "mailto:x",
                                         "../"};
    std::string text;
    for (int n = Number(4); n > 0; --n) text += Pick(pieces);
    return text;
  }

  std::string Value() {
    static const char* const values[] = {"x.html",
                                         "Pics/A.CGI",
                                         "/img/x.gif",
                                         "../up.htm",
                                         "../../deep.html",
                                         "./here.html",
                                         "#top",
                                         "next.html#top",
                                         "list.cgi?p=2",
                                         "file.zip",
                                         "HTTP://Other/Y.html",
                                         "http_docs/a.html",
                                         "mailto:someone",
                                         "style.css",
                                         "",
                                         "\x83\x61.html",
                                         "\x95\x5C/\x95\x5C.htm",
                                         "frame.gif",
                                         "sub/",
                                         "cgi-bin/prog",
                                         "a b.html",
                                         "q?x=\"1\""};
    std::string value = Pick(values);
    if (Number(6) == 0) value = base::ToUpper(value);
    return value;
  }

  std::string Tag() {
    static const char* const names[] = {"img",    "IMG",    "a",      "A",    "body",
                                        "option", "frame",  "link",   "area", "p",
                                        "Frame",  "OPTION", "iframe", "base", "BASE"};
    static const char* const attributes[] = {"src",        "SRC",   "href", "HREF",
                                             "background", "value", "rel",  "alt"};
    std::string tag = "<" + std::string(Pick(names));
    for (int n = Number(4); n > 0; --n) {
      tag += Pick({" ", "  ", "\t", "\n"});
      tag += Pick(attributes);
      if (Number(5) == 0) continue;  // an attribute without a value
      tag += Pick({"=", " = ", "= ", "\t=\n"});
      const std::string value = Value();
      switch (Number(4)) {
        case 0: tag += "\"" + value + "\""; break;
        case 1: tag += "'" + value + "'"; break;
        case 2: tag += value; break;
        default: tag += "\"" + value; break;  // an unclosed quote
      }
    }
    if (Number(10) != 0) tag += Pick({">", " >", "/>"});
    if (Number(3) == 0) tag += Filler() + Pick({"</a>", "</A>", "</p>", "</frame>"});
    return tag;
  }

  std::string Page() {
    std::string page = Number(4) == 0 ? std::string("a") : std::string();
    for (int n = Number(14); n > 0; --n) page += Filler() + Tag();
    return page + Filler();
  }

  // Replaces, inserts and deletes bytes, favouring the bytes the scanners look at.
  std::string Mutate(std::string page) {
    static const char bytes[] = {'<', '>',    '=',    '"',    '\'',   ' ',    '#',  'a', '/',
                                 '.', '\x83', '\x95', '\x5C', '\x61', '\x81', '\t', '?'};
    for (int n = Number(6); n > 0 && !page.empty(); --n) {
      const int at = Number(static_cast<int>(page.size()));
      switch (Number(3)) {
        case 0: page[at] = Pick(bytes); break;
        case 1: page.insert(page.begin() + at, Pick(bytes)); break;
        default: page.erase(at, 1); break;
      }
    }
    return page;
  }

  std::string RandomBytes(int length) {
    std::string text;
    for (int i = 0; i < length; ++i) {
      text += Number(3) == 0
                  ? static_cast<char>(Number(256))
                  : Pick({'<', '>', '=', '"', '\'', ' ', 'a', 'i',    'm',    'g',    's',
                          'r', 'c', 'h', 'e', 'f',  '/', '#', '\x83', '\x5C', '\x81', '.'});
    }
    return text;
  }

 private:
  std::mt19937 m_random;
};

void ExpectSameScannerCalls(const std::string& html) {
  static const char* const calls[][2] = {{"img", "src"},      {"body", "background"}, {"a", "href"},
                                         {"option", "value"}, {"frame", "src"},       {"a", ""}};
  for (const auto& call : calls) {
    int fastPos = -7, slowPos = -7;
    const std::string fast = download::GetTagAttribute(html, call[0], call[1], fastPos);
    const std::string slow = transcription::GetTagAttribute(html, call[0], call[1], slowPos);
    ASSERT_EQ(fast, slow) << "tag " << call[0] << " in: " << html;
    if (fast != "END") {
      ASSERT_EQ(fastPos, slowPos) << "tag " << call[0] << " in: " << html;
    }

    std::string fastTag = "unchanged", slowTag = "unchanged";
    fastPos = slowPos = -7;
    const std::string fastAnchor =
        download::GetAnchorAttribute(html, call[0], call[1], fastPos, fastTag);
    const std::string slowAnchor =
        transcription::GetAnchorAttribute(html, call[0], call[1], slowPos, slowTag);
    ASSERT_EQ(fastAnchor, slowAnchor) << "anchor " << call[0] << " in: " << html;
    ASSERT_EQ(fastTag, slowTag) << "anchor " << call[0] << " in: " << html;
    if (fastAnchor != "END" || fastTag != "unchanged") {
      ASSERT_EQ(fastPos, slowPos) << "anchor in: " << html;
    }

    fastPos = slowPos = -7;
    const std::string names = std::string(call[0]) + "," + call[1];
    ASSERT_EQ(download::FindTag(html, names, fastPos, '<', '>'),
              transcription::FindTag(html, names, slowPos, '<', '>'))
        << names << " in: " << html;
    ASSERT_EQ(fastPos, slowPos) << names << " in: " << html;
  }
}

// A run of both harvestings over one page with the same options, the same start values and the
// same option changes made while events are handled.
// Entries queued over all runs, so that a generator that stops producing links is noticed.
int g_queued = 0;

void ExpectSameHarvest(PageMaker& maker, const std::string& page) {
  testing_support::FakeRunControls fastControls, slowControls;
  const bool server = maker.Number(2), filter = maker.Number(2), another = maker.Number(3) == 0;
  for (auto* controls : {&fastControls, &slowControls}) {
    controls->checks[Field::kServer] = server;
    controls->checks[Field::kFilter] = filter;
    controls->checks[Field::kAnotherUrl] = another;
  }
  // Every third event round flips the server option, so both must read it at every link.
  const int flipEvery = maker.Number(2) == 0 ? 3 : 0;
  for (auto* controls : {&fastControls, &slowControls}) {
    controls->onPump = [controls, flipEvery] {
      if (flipEvery && controls->pumps % flipEvery == 0) {
        controls->checks[Field::kServer] = !controls->checks[Field::kServer];
      }
    };
  }
  settings::FilterLists filters;
  filters.m_enable = maker.Number(2);
  filters.m_disable = maker.Number(2);
  static const char* const entries[] = {"pics", "CGI", "\x83\x61", "other", ".zip", "b/"};
  for (int n = maker.Number(3); n > 0; --n) filters.m_enableList.push_back(maker.Pick(entries));
  for (int n = maker.Number(3); n > 0; --n) filters.m_disableList.push_back(maker.Pick(entries));

  static const char* const pages[] = {"http://server/a/b/page.html", "http://server",
                                      "HTTP://Server/\x95\x5C/index.htm", "http://server/a/"};
  static const char* const folders[] = {"http://server/a/", "", "http://SERVER/a/b/", "http:/"};
  static const char* const servers[] = {"server", "", "Server", "other"};
  const std::string pageAddress = maker.Pick(pages);

  download::CrawlState fast;
  transcription::Queue slow;
  fast.m_entryLimit = slow.m_entryLimit = maker.Number(4) == 0 ? 1 + maker.Number(4) : 1000;
  fast.m_startFolder = slow.m_startFolder = maker.Pick(folders);
  fast.m_startServer = slow.m_startServer = maker.Pick(servers);
  if (maker.Number(3) == 0) {  // a seeded queue
    fast.Append(pageAddress, download::QueueKind::kUrl);
    slow.m_addressQueue.push_back(pageAddress);
    slow.m_kindQueue.push_back("url");
  }

  download::HarvestLinks(fast, fastControls, filters, pageAddress, page);
  transcription::HarvestLinks(slow, slowControls, filters, pageAddress, page);
  ASSERT_EQ(fast.m_addressQueue, slow.m_addressQueue) << "page: " << page;
  ASSERT_EQ(testing_support::KindNames(fast.m_kindQueue), slow.m_kindQueue) << "page: " << page;
  ASSERT_EQ(fastControls.pumps, slowControls.pumps) << "page: " << page;
  g_queued += fast.size();
}

TEST(HarvestDifferential, GeneratedPagesGiveTheSameCallsAndQueues) {
  PageMaker maker(20240611);
  g_queued = 0;
  for (int round = 0; round < 3000; ++round) {
    const std::string page = maker.Page();
    ASSERT_NO_FATAL_FAILURE(ExpectSameScannerCalls(page));
    ASSERT_NO_FATAL_FAILURE(ExpectSameHarvest(maker, page));
  }
  EXPECT_GT(g_queued, 1500) << "the generated pages hardly hold links";
}

TEST(HarvestDifferential, MutatedPagesGiveTheSameCallsAndQueues) {
  PageMaker maker(77);
  for (int round = 0; round < 3000; ++round) {
    const std::string page = maker.Mutate(maker.Page());
    ASSERT_NO_FATAL_FAILURE(ExpectSameScannerCalls(page));
    ASSERT_NO_FATAL_FAILURE(ExpectSameHarvest(maker, page));
  }
}

TEST(HarvestDifferential, RandomBytesNeitherCrashNorDisagree) {
  PageMaker maker(5);
  for (int round = 0; round < 4000; ++round) {
    const std::string bytes = maker.RandomBytes(maker.Number(200));
    ASSERT_NO_FATAL_FAILURE(ExpectSameScannerCalls(bytes));
    ASSERT_NO_FATAL_FAILURE(ExpectSameHarvest(maker, bytes));
  }
}

}  // namespace
