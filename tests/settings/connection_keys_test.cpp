// The connection options in a settings file and in the "接続設定" window's fields.
#include "settings/connection_keys.h"

#include <gtest/gtest.h>

#include "settings/option_values.h"
#include "settings/settings_record.h"
#include "support/temp_folder.h"

namespace {

using resources::TextId;
using testing_support::Sjis;
using testing_support::TempFolder;
using testing_support::WriteFile;

TEST(ConnectionKeys, SavedOptionsLoadBackAndUnreadableValuesGiveTheDefaults) {
  TempFolder folder;
  settings::OptionValues controls;
  settings::FilterLists lists;
  settings::SettingsRecord saved(controls, lists);
  saved.SetProgramFolder(folder.path());
  saved.SetSettingsPath(folder / Sjis("接続.ini"));
  saved.ResetSettings();
  net::ConnectionOptions& options = saved.Connection();
  options.userAgent = "Crawler/2.0";
  options.referer = net::RefererMode::kFixed;
  options.refererAddress = "http://example.org/";
  options.headers = {"X-One: 1", "Accept-Language: ja"};
  options.loadCookies = folder / Sjis("クッキー.txt");
  options.saveCookies = folder / "out.txt";
  options.proxy = "http://127.0.0.1:3128";
  options.delaySeconds = 0.25;
  options.randomDelay = true;
  options.rateLimit = 204800;
  options.tries = 4;
  options.retryWaitSeconds = 2;
  options.robots = true;
  options.perServer = 4;
  ASSERT_TRUE(saved.SaveSettings());

  settings::SettingsRecord loaded(controls, lists);
  loaded.SetSettingsPath(saved.SettingsPath());
  loaded.LoadSettings();
  const net::ConnectionOptions& back = loaded.Connection();
  EXPECT_EQ(back.userAgent, options.userAgent);
  EXPECT_EQ(back.referer, options.referer);
  EXPECT_EQ(back.refererAddress, options.refererAddress);
  EXPECT_EQ(back.headers, options.headers);
  EXPECT_EQ(back.loadCookies, options.loadCookies);
  EXPECT_EQ(back.saveCookies, options.saveCookies);
  EXPECT_EQ(back.proxy, options.proxy);
  EXPECT_EQ(back.delaySeconds, options.delaySeconds);
  EXPECT_EQ(back.randomDelay, options.randomDelay);
  EXPECT_EQ(back.rateLimit, options.rateLimit);
  EXPECT_EQ(back.tries, options.tries);
  EXPECT_EQ(back.retryWaitSeconds, options.retryWaitSeconds);
  EXPECT_EQ(back.robots, options.robots);
  EXPECT_EQ(back.perServer, options.perServer);

  // Values typed by hand that do not read are the defaults, never half-read numbers.
  WriteFile(folder / "hand.ini", Sjis("[初期表示]\r\nReferer=somewhere\r\nDelay=soon\r\n"
                                      "LimitRate=fast\r\nTries=0\r\nHeaderCount=2\r\n"
                                      "Header1=no colon\r\nHeader2=X-Ok: 1\r\n"));
  loaded.SetSettingsPath(folder / "hand.ini");
  loaded.LoadSettings();
  EXPECT_EQ(loaded.Connection().referer, net::RefererMode::kNone);
  EXPECT_EQ(loaded.Connection().delaySeconds, 0);
  EXPECT_EQ(loaded.Connection().rateLimit, 0);
  EXPECT_EQ(loaded.Connection().tries, 1);
  EXPECT_EQ(loaded.Connection().headers, std::vector<std::string>{"X-Ok: 1"});
}

TEST(ConnectionKeys, TheWindowsFieldsReadOrNameTheFieldThatDoesNot) {
  const settings::ConnectionForm defaults = settings::FormOf({});
  EXPECT_EQ(defaults.delay, "0");
  EXPECT_EQ(defaults.tries, "1");
  const struct {
    void (*edit)(settings::ConnectionForm&);
    std::optional<TextId> refused;
  } cases[] = {
      {[](auto& f) { f.headers = "X-One: 1\r\n\r\nX-Two: 2\n"; }, std::nullopt},
      {[](auto& f) { f.limitRate = "1.5m"; }, std::nullopt},
      {[](auto& f) { f.referer = net::RefererMode::kFixed; }, TextId::kConnectionRefererFixed},
      {[](auto& f) {
         f.referer = net::RefererMode::kFixed;
         f.refererAddress = "auto";
       },
       TextId::kConnectionRefererFixed},
      {[](auto& f) { f.headers = "X-One 1"; }, TextId::kConnectionHeaders},
      {[](auto& f) { f.delay = "-1"; }, TextId::kConnectionDelay},
      {[](auto& f) { f.limitRate = "fast"; }, TextId::kConnectionLimitRate},
      {[](auto& f) { f.tries = "0"; }, TextId::kConnectionTries},
      {[](auto& f) { f.tries = "101"; }, TextId::kConnectionTries},
      {[](auto& f) { f.retryWait = ""; }, TextId::kConnectionRetryWait},
      {[](auto& f) { f.perServer = "17"; }, TextId::kConnectionPerServer},
  };
  for (const auto& c : cases) {
    settings::ConnectionForm form = defaults;
    c.edit(form);
    net::ConnectionOptions options;
    options.userAgent = "kept";
    const std::optional<TextId> refused = settings::OptionsOf(form, options);
    EXPECT_EQ(refused, c.refused);
    // A refused form leaves the options as they were.
    if (refused) {
      EXPECT_EQ(options.userAgent, "kept");
    }
  }
  net::ConnectionOptions options;
  settings::ConnectionForm form = defaults;
  form.headers = "X-One: 1\r\n\r\nX-Two: 2\n";
  form.limitRate = "1.5m";
  ASSERT_FALSE(settings::OptionsOf(form, options));
  EXPECT_EQ(options.headers, (std::vector<std::string>{"X-One: 1", "X-Two: 2"}));
  EXPECT_EQ(options.rateLimit, 1572864);
}

}  // namespace
