// The system's fixed texts (messages, labels, captions), held once in code page 932.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace resources {

enum class TextId {
  // Application and main window.
  kAppName,    // the message-box caption
  kMainTitle,  // "TamoのHTML　ビットマップ変換"
  kAboutEntrySuffix,  // " のﾊﾞｰｼﾞｮﾝ情報(&A)..." (system-menu entry after the product name)
  kReadPathLabel,    // "読み込みパス"
  kUrlAllowedLabel,  // "(URL指定可能)"
  kWritePathLabel,   // "出力パス"
  kOptionsGroup,     // "オプション"
  kSizeLabel,        // "Xサイズ"
  kWaitLabel,        // "待ち時間"
  kPercentLabel,     // "比率"
  kPercentSign,      // "%"
  kSubfoldersCheck,  // "サブフォルダも対象"
  kDownloadDetails,  // "ダウンロード詳細"
  kExitButton,       // "終了"
  kCreateButton,     // "作成"
  kStopButton,       // "中止"
  // Menu bar and toolbar tooltips.
  kMenuFile,      // "ファイル(&F)"
  kMenuNew,       // "新規作成"
  kMenuOpen,      // "開く"
  kMenuSave,      // "上書き保存"
  kMenuSaveAs,    // "別名保存"
  kMenuExit,      // "終了"
  kMenuRun,       // "実行(&R)"
  kMenuStart,     // "実行開始"
  kMenuStop,      // "実行中止"
  kMenuHelp,      // "ヘルプ(&H)"
  kMenuAbout,     // "バージョン情報"
  kMenuHelpItem,  // "ヘルプ"
  kTipSave,       // "保存"
  kTipStart,      // "開始"
  kTipHomePage,   // "ホームページ"
  // Run messages and status texts.
  kRunFinished,         // "処理終了"
  kCannotCreateFolder,  // "ディレクトリを作成できません。処理を終了します。"
  kFolderMissing,       // "ディレクトリが存在しません。作成します"
  kValueNotSet,         // "値が設定されていません"
  kCountTooSmall,       // "ダウンロード数は0以上を指定してください。"
  kLinkCountTooSmall,  // "最大検索重複リンクファイル数は0以上を指定してください。"
  kStepTooSmall,  // "1以上を指定してください"
  // Settings.
  kSettingsSection,     // "初期表示"
  kPointerWriteFailed,  // "初期設定ファイルの書き込みに失敗しました。"
  kReadPathWriteFailed,
  kWritePathWriteFailed,
  kSizeWriteFailed,
  kWaitWriteFailed,
  kPercentWriteFailed,
  kSubWriteFailed,      // "サブディレクトリの書き込みに失敗しました。"
  kWriteFailedSuffix,   // "の書き込みに失敗しました。"
  kReservedNameSuffix,  // "は設定ファイルとして使用できません"
  kSavedSuffix,         // "を保存しました"
  kSettingsFilter,      // "設定ファイル *.ini|*.ini;||"
  kNewSettingsName,     // "新規作成.ini"
  // Download options window.
  kDownloadOptionsTitle,  // "ダウンロードオプション"
  kDownloadOptionsNote,  // "ダウンロードオプションはWeb上のHTMLを\nビットマップに変換する際のオプションです。"
  kCountLabel,           // "最大検索ファイル数"
  kLinkCountLabel,       // "最大検索重複リンクファイル数"
  kAnotherUrlCheck,      // "指定したURL以下にないURLはダウンロードしない"
  kServerCheck,          // "同一サーバーのみダウンロードする"
  kSameCheck,            // "同一フォルダにダウンロードする"
  kFilterCheck,          // "フィルターを使用する"
  kFilterDetails,        // "フィルター詳細"
  kRangeMark,            // "～"
  kStepSuffix,           // "個おき"
  kUseSuffix,            // "を使う" (after "@a@" .. "@f@")
  kSaveAndClose,         // "保存して終了"
  kCancel,               // "ｷｬﾝｾﾙ"
  // Filter lists window.
  kFilterTitle,        // "フィルター設定"
  kFilterNote,         // "ダウンロードするURLの有効/無効を設定できます"
  kUseEnableList,      // "有効リストを使う"
  kUseDisableList,     // "無効リストを使う"
  kAddToEnableList,    // "有効リストに追加"
  kAddToDisableList,   // "無効リストに追加"
  kDeleteEntries,      // "データを削除"
  kEnableListColumn,   // "有効リスト"
  kDisableListColumn,  // "無効リスト"
  kNothingSelected,    // "リストが選択されていません。"
  // Help and about.
  kHelpMissingPrefix,  // "HELPファイルがありません。 パス="
  kAboutTitle,         // "TamoのHTMLビットマップ変換のバージョン情報"
  kAboutVersion,       // "TamoのHTMLビットマップ変換  Version 1.0"
  // The command line (UTF-8 on the terminal; "%s" marks where FillUtf8 puts a value).
  kCliUsage,  // "使い方:" and the commands
  kCliWindowOptions,  // "変換とクロールのオプション（--settings の値を上書きします）:"
  kCliRunOptions,       // "実行のオプション（convert, crawl, run）:"
  kCliExitCodes,        // "終了コード: 0 すべて成功、…"
  kCliDefault,          // "（既定値: %s）"
  kCliOn,               // "オン"
  kCliOff,              // "オフ"
  kCliNotUsed,          // "使わない"
  kCliSeeHelp,          // "使い方は rendora --help で表示します。"
  kCliUnknownArgument,  // "知らないオプションまたは余分な引数です: %s"
  kCliValueMissing,     // "オプションの値がないか多すぎます: %s"
  kCliUnreadable,       // "コマンドラインを読めません: %s"
  kCliRangeInvalid,     // "--range の値を読めません（…）: %s"
  kCliNoRangeInvalid,   // "--no-range には a から f の一文字を…: %s"
  kCliFormatInvalid,    // "--format には bmp か png を指定してください: %s"
  kCliJobsInvalid,      // "--jobs には 1 から 64 の数を指定してください: %s"
  kCliShardInvalid,     // "--shard には K/N（1 ≦ K ≦ N）を指定してください: %s"
  kCliPageTimeoutInvalid,
  kCliCaptureInvalid,   // "--capture には tiles か snapshot を指定してください: %s"
  kCliPngLevelInvalid,  // "--png-level には 0 から 9 の数を指定してください: %s"
  kCliJobsRule,         // "%s = コア数 × 3、最大 12"  // "--page-timeout には 1
                        // 以上の秒数を指定してください: %s"
  kCliJobsRuleManual,   // "コア数 × 3、最大 12" (the manual page: no machine's number)
  kCliRunTakesOneFile,  // "run に指定できる設定ファイルは一つです"
  kCliNeedsTwoArguments,  // "読み込み元と出力フォルダの二つを指定してください"
  kCliSettingsMissing,  // "設定ファイルがありません: %s"
  kCliPathsNotSet,      // "読み込みパスと出力パスが設定されていません"
  kCliSourceIsAddress,  // "%s はアドレスです。クロールには rendora crawl を…"
  kCliSourceNotAddress,  // "%s はアドレスではありません。フォルダの変換には…"
  kCliSourceMissing,     // "読み込みフォルダがありません: %s"
  kCliShardOnlyFolders,  // "--shard はフォルダの変換にだけ使えます"
  kCliReportUnwritable,  // "レポートを書き込めません: %s"
  kCliNoDisplay,         // "ディスプレイに接続できません（…）"
  kCliDisplayUnset,  // "--use-display が指定されましたが、DISPLAY が設定されていません"
  kCliXvfbNotStarted,  // "Xvfb が起動しませんでした（xvfb パッケージが必要です）"
  kCliWorkFolderFailed,  // "作業フォルダを作成できません: %s"
  kCliWorkerNotStarted,  // "描画プロセスを起動できません"
  kCliWritten,           // "作成" (a page's outcome, and the summary's)
  kCliFailed,            // "失敗"
  kCliSkipped,           // "スキップ"
  kCliIncomplete,        // "未完了"
  kCliInterrupted,       // "中断"
  kCliLiveLine,          // "%s 件  %s 件/秒  %s  "
  kCliSummary,  // "%s: 作成 %s, 失敗 %s, スキップ %s, 未完了 %s（%s 秒, %s 件/秒）"
  kCliDroppedLinks,  // "除外したリンク:%s"
  // --- the pictures' quality, split and transparency; the output dialog ---
  kCliQualityInvalid,  // "--quality には 1 から 100 の数を指定してください: %s"
  kCliSplitInvalid,  // "--split には 高さ[:重ねる行数]（…）を指定してください: %s"
  kCliSplitTooTall,  // "--split の高さ %s は %s の最大 %s ピクセルを超えています"
  kCliTransparentFormat,  // "--transparent は png か webp でだけ使えます（形式: %s）"
  kMenuOptions,           // "オプション(&O)"
  kMenuOutputSettings,    // "出力設定..."
  kOutputTitle,           // "出力設定"
  kOutputFormatLabel,     // "画像の形式"
  kOutputQualityLabel,    // "画質（JPEG・WebP、1～100）"
  kOutputSplitLabel,      // "分割する高さ（ピクセル、0 は分割しない）"
  kOutputOverlapLabel,    // "重ねる行数"
  kOutputOk,              // "OK"
  kOutputCancel,          // "キャンセル"
  kOutputOverlapTooLarge,  // "重ねる行数は分割する高さより小さくしてください。"
  kOutputSplitTooTall,  // "この形式で分割できる高さは %s ピクセルまでです。"
  // --- end of the pictures' texts ---
  kCliPaddingInvalid,  // "--padding には 0 から 100000 の数を指定してください: %s"
  kCliOptionFileUnreadable,  // "ファイルを読み込めません: %s" (the option's value, "@FILE")
  kCliScaleFactorInvalid,  // "--scale-factor には 1, 2, 3 のどれかを指定してください: %s"
  kCliColorSchemeInvalid,  // "--color-scheme には light か dark を指定してください: %s"
  // The connection options: the command line's refusals, the window's menu, dialog and messages.
  kCliRefererInvalid,    // "--referer には auto か http(s) のアドレスを…: %s"
  kCliHeaderInvalid,     // "--header には「名前: 値」の形で…: %s"
  kCliSecondsInvalid,    // "%s には 0 以上の秒数を指定してください: %s"
  kCliRateInvalid,       // "--limit-rate には 1 秒あたりのバイト数を…: %s"
  kCliTriesInvalid,      // "--tries には 1 から 100 の数を指定してください: %s"
  kCliPerServerInvalid,  // "--per-server には 1 から 16 の数を指定してください: %s"
  kCookiesUnreadable,    // "Cookie ファイルを読めません: %s"
  kCookiesUnwritable,    // "Cookie ファイルを書き込めません: %s"
  kMenuConnection,       // "接続設定..."
  kConnectionTitle,      // "接続設定"
  kConnectionAgent,      // "ユーザーエージェント（空欄: 要求ごとの名前）"
  kConnectionReferer,    // "リファラー"
  kConnectionRefererNone,   // "送らない"
  kConnectionRefererLink,   // "リンク元のページ"
  kConnectionRefererFixed,  // "指定のアドレス"
  kConnectionHeaders,       // "追加ヘッダー（1 行に 1 つ、名前: 値）"
  kConnectionLoadCookies,   // "Cookie を読むファイル"
  kConnectionSaveCookies,   // "Cookie を書き出すファイル"
  kConnectionProxy,         // "プロキシ（空欄: 環境変数のもの）"
  kConnectionDelay,         // "同じサーバーへの間隔（秒）"
  kConnectionRandomDelay,   // "間隔をばらつかせる"
  kConnectionLimitRate,     // "速度制限（バイト/秒、例 200k。0: なし）"
  kConnectionTries,         // "試行回数"
  kConnectionRetryWait,     // "再試行までの待ち（秒）"
  kConnectionRobots,        // "robots.txt に従う"
  kConnectionPerServer,     // "サーバーごとの同時転送数（1～16）"
  kConnectionInvalid,       // "%s の値を読めません"
  // Nothing done twice: kept outputs, continued downloads, resumed crawls.
  kResumeQuestion,       // "前回の続きから再開しますか？"
  kStateFileNotJournal,  // "%s は再開できるクロールの状態ファイルではありません"
  kStateFileUnwritable,  // "状態ファイルに書き込めません: %s"
  kResumeDiffers,  // "前回と条件が違うため再開できません: %s（前回: %s、今回: %s）"
  kCliStateOnlyCrawl,    // "--state と --resume はクロールにだけ使えます"
  kCliStateWithResume,   // "--state と --resume は一緒に指定できません"
  kConnectionNoClobber,  // "あって空でないファイルは残す（上書きしない）"
  kConnectionContinue,   // "切れたダウンロードを続きから受け取る"
  kConnectionStateFile,  // "クロールの状態ファイル（再開用）"
  kCount_
};

// The text in code page 932 (converted from this file's UTF-8 once, on first use).
const std::string& Text(TextId id);

// The same text in UTF-8, for the window framework.
std::string_view TextUtf8(TextId id);

// A text in UTF-8 with each "%s" in it replaced by the next of `values` (the command line's
// messages, which put an argument, path or number into a fixed phrase).
std::string FillUtf8(TextId id, std::initializer_list<std::string_view> values);

// Messages that put a name, path or number in front of or into a fixed phrase (all CP932).
std::string WriteFailedMessage(std::string_view key);  // key + "の書き込みに失敗しました。"
std::string ReservedNameMessage();                     // "set.ini" + "は設定ファイル…"
std::string SavedMessage(std::string_view settingsPath);  // path + "を保存しました"
std::string HelpMissingMessage(
    std::string_view helpPath);  // "HELPファイルがありません。 パス=" + path
// The settings file dialog's question before it accepts a new file name: path +
// "は存在しません。作成しますか？"
std::string CreatePromptMessage(std::string_view path);
std::string ProcessedCountText(int pages);  // "%d件のHTMLを処理しました"
std::string PageProgressText(int page, std::string_view name);  // "%d件目 %s 処理中"
// "%s は通常のファイルではないため飛ばしました": a name like a page's on a pipe, device or socket.
std::string NotRegularFileText(std::string_view name);
std::string DownloadProgressText(int position, int queueLength, std::string_view address);
std::string DownloadCountText(int successes);  // "ダウンロード件数 %d"
// A message with a file's path put in (kStateFileNotJournal, kStateFileUnwritable, ...).
std::string PathMessage(TextId message, std::string_view path);
// kResumeDiffers with the option's name and both values (a list's entries joined by ", ").
std::string ResumeDiffersText(std::string_view option, std::string_view before,
                              std::string_view now);
// "%d件目 %s は読み込みが終わらず変換できませんでした": a page that had no document to capture.
std::string PageNotLoadedText(int page, std::string_view name);
// kCookiesUnreadable or kCookiesUnwritable with the cookie file's path.
std::string CookieFileMessage(TextId message, std::string_view path);
// "%s の値を読めません": a field of the connection options whose text does not read.
std::string InvalidValueMessage(TextId label);
// "HELPを表示できるプログラムがありません。 パス=" + path: a help file that nothing could show.
std::string HelpNoViewerMessage(std::string_view helpPath);
// "レポートを書き込めませんでした。 パス=" + path: the report to look at of a window's run.
std::string HtmlReportFailedMessage(std::string_view reportPath);

// The maker's home page: the caption of the about box's button and the target of the command.
inline constexpr std::string_view kHomePageAddress = "https://rendora.example.org/";

}  // namespace resources
