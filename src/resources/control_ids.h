// Command and control ids of every window: these numbers never change.
#pragma once

namespace ids {

// Main window controls.
inline constexpr int kCancel = 2;    // hidden "終了"
inline constexpr int kStart = 1000;  // hidden "作成"
inline constexpr int kReadPathEdit = 1001;
inline constexpr int kWritePathEdit = 1002;
inline constexpr int kBrowseRead = 1003;
inline constexpr int kBrowseWrite = 1004;
inline constexpr int kStatus = 1005;
inline constexpr int kBrowser = 1006;
inline constexpr int kSizeEdit = 1008;
inline constexpr int kStop = 1009;  // hidden "中止"
inline constexpr int kWaitEdit = 1010;
inline constexpr int kPercentEdit = 1011;
inline constexpr int kSubCheck = 1012;
inline constexpr int kShowDownloadOptions = 1013;

// Menu commands.
inline constexpr int kMenuNew = 32771;
inline constexpr int kMenuOpen = 32773;
inline constexpr int kMenuSave = 32774;
inline constexpr int kMenuSaveAs = 32776;
inline constexpr int kMenuExit = 32778;
inline constexpr int kMenuStart = 32782;
inline constexpr int kMenuStop = 32783;
inline constexpr int kMenuAbout = 32779;
inline constexpr int kMenuHelp = 32780;

// Toolbar buttons, left to right.
inline constexpr int kToolNew = 40010;
inline constexpr int kToolOpen = 40011;
inline constexpr int kToolSave = 32772;
inline constexpr int kToolExit = 32775;
inline constexpr int kToolStart = 32777;
inline constexpr int kToolStop = 40000;
inline constexpr int kToolHelp = 32784;
inline constexpr int kToolHomePage = 32785;

// Timer of the cursor nudge.
inline constexpr int kNudgeTimer = 1;
inline constexpr int kNudgePeriodMs = 180000;

// Download options window.
inline constexpr int kOptionsOk = 1;
inline constexpr int kOptionsCancel = 2;
inline constexpr int kCountEdit = 1000;
inline constexpr int kLinkCountEdit = 1001;
inline constexpr int kAnotherUrlCheck = 1100;
inline constexpr int kSameCheck = 1133;
inline constexpr int kServerCheck = 1134;
inline constexpr int kFilterCheck = 1135;
inline constexpr int kFilterDetails = 1136;
inline constexpr int kRowCheckFirst = 1200;  // 1200..1205, row n = id - 1199
inline constexpr int kRowFromFirst = 1108;   // first-value edit of row n: 1108 + 4 (n - 1)
inline constexpr int kRowToFirst = 1109;     // last-value edit of row n:  1109 + 4 (n - 1)
inline constexpr int kRowStepFirst = 1110;   // step edit of row n:        1110 + 4 (n - 1)

// Filter lists window.
inline constexpr int kEnableList = 1007;
inline constexpr int kDisableList = 1008;
inline constexpr int kDisableEntryEdit = 1138;
inline constexpr int kAddToDisable = 1139;
inline constexpr int kEnableEntryEdit = 1140;
inline constexpr int kAddToEnable = 1141;
inline constexpr int kDeleteEnable = 1144;
inline constexpr int kDeleteDisable = 1145;
inline constexpr int kUseEnableCheck = 1146;
inline constexpr int kUseDisableCheck = 1147;

// Output settings window (the Options menu's "出力設定...").
inline constexpr int kMenuOutputSettings = 32790;
inline constexpr int kOutputSettingsDialog = 210;
inline constexpr int kOutputFormatChoice = 1300;
inline constexpr int kOutputQualityEdit = 1301;
inline constexpr int kOutputSplitEdit = 1302;
inline constexpr int kOutputOverlapEdit = 1303;

// About box.
inline constexpr int kHomePageButton = 1015;

// The windows themselves.
inline constexpr int kAboutDialog = 100;
inline constexpr int kMainDialog = 102;
inline constexpr int kDownloadOptionsDialog = 142;
inline constexpr int kFilterDialog = 203;

// The connection options window ("接続設定...", in the "オプション(&O)" menu).
inline constexpr int kMenuConnection = 32786;
inline constexpr int kConnectionDialog = 204;
inline constexpr int kConnectionAgentEdit = 1300;
inline constexpr int kConnectionRefererNone = 1301;
inline constexpr int kConnectionRefererLink = 1302;
inline constexpr int kConnectionRefererFixed = 1303;
inline constexpr int kConnectionRefererEdit = 1304;
inline constexpr int kConnectionHeadersEdit = 1305;
inline constexpr int kConnectionLoadCookiesEdit = 1306;
inline constexpr int kConnectionSaveCookiesEdit = 1307;
inline constexpr int kConnectionProxyEdit = 1308;
inline constexpr int kConnectionDelayEdit = 1309;
inline constexpr int kConnectionRandomDelayCheck = 1310;
inline constexpr int kConnectionLimitRateEdit = 1311;
inline constexpr int kConnectionTriesEdit = 1312;
inline constexpr int kConnectionRetryWaitEdit = 1313;
inline constexpr int kConnectionRobotsCheck = 1314;
inline constexpr int kConnectionPerServerEdit = 1315;
// Its fields that keep work from being done twice.
inline constexpr int kConnectionNoClobberCheck = 1316;
inline constexpr int kConnectionContinueCheck = 1317;
inline constexpr int kConnectionStateFileEdit = 1318;

}  // namespace ids
