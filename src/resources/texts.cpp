// The system's fixed texts (messages, labels, captions), held once in code page 932.
#include "resources/texts.h"

#include <array>
#include <cstddef>
#include <cstdio>
#include <iterator>

#include "base/encoding.h"

namespace resources {
namespace {

using namespace std::string_view_literals;

// The UTF-8 source of a text, beside the name that addresses it.
struct Entry {
  TextId id;
  std::string_view utf8;
};

constexpr Entry kEntries[] = {
    {TextId::kAppName, "Rendora"sv},
    {TextId::kMainTitle, "TamoのHTML　ビットマップ変換"sv},
    {TextId::kAboutEntrySuffix, " のﾊﾞｰｼﾞｮﾝ情報(&A)..."sv},
    {TextId::kReadPathLabel, "読み込みパス"sv},
    {TextId::kUrlAllowedLabel, "(URL指定可能)"sv},
    {TextId::kWritePathLabel, "出力パス"sv},
    {TextId::kOptionsGroup, "オプション"sv},
    {TextId::kSizeLabel, "Xサイズ"sv},
    {TextId::kWaitLabel, "待ち時間"sv},
    {TextId::kPercentLabel, "比率"sv},
    {TextId::kPercentSign, "%"sv},
    {TextId::kSubfoldersCheck, "サブフォルダも対象"sv},
    {TextId::kDownloadDetails, "ダウンロード詳細"sv},
    {TextId::kExitButton, "終了"sv},
    {TextId::kCreateButton, "作成"sv},
    {TextId::kStopButton, "中止"sv},
    {TextId::kMenuFile, "ファイル(&F)"sv},
    {TextId::kMenuNew, "新規作成"sv},
    {TextId::kMenuOpen, "開く"sv},
    {TextId::kMenuSave, "上書き保存"sv},
    {TextId::kMenuSaveAs, "別名保存"sv},
    {TextId::kMenuExit, "終了"sv},
    {TextId::kMenuRun, "実行(&R)"sv},
    {TextId::kMenuStart, "実行開始"sv},
    {TextId::kMenuStop, "実行中止"sv},
    {TextId::kMenuHelp, "ヘルプ(&H)"sv},
    {TextId::kMenuAbout, "バージョン情報"sv},
    {TextId::kMenuHelpItem, "ヘルプ"sv},
    {TextId::kTipSave, "保存"sv},
    {TextId::kTipStart, "開始"sv},
    {TextId::kTipHomePage, "ホームページ"sv},
    {TextId::kRunFinished, "処理終了"sv},
    {TextId::kCannotCreateFolder, "ディレクトリを作成できません。処理を終了します。"sv},
    {TextId::kFolderMissing, "ディレクトリが存在しません。作成します"sv},
    {TextId::kValueNotSet, "値が設定されていません"sv},
    {TextId::kCountTooSmall, "ダウンロード数は0以上を指定してください。"sv},
    {TextId::kLinkCountTooSmall, "最大検索重複リンクファイル数は0以上を指定してください。"sv},
    {TextId::kStepTooSmall, "1以上を指定してください"sv},
    {TextId::kSettingsSection, "初期表示"sv},
    {TextId::kPointerWriteFailed, "初期設定ファイルの書き込みに失敗しました。"sv},
    {TextId::kReadPathWriteFailed, "読み込みパスの書き込みに失敗しました。"sv},
    {TextId::kWritePathWriteFailed, "書き込みパスの書き込みに失敗しました。"sv},
    {TextId::kSizeWriteFailed, "サイズの書き込みに失敗しました。"sv},
    {TextId::kWaitWriteFailed, "待ち時間の書き込みに失敗しました。"sv},
    {TextId::kPercentWriteFailed, "比率の書き込みに失敗しました。"sv},
    {TextId::kSubWriteFailed, "サブディレクトリの書き込みに失敗しました。"sv},
    {TextId::kWriteFailedSuffix, "の書き込みに失敗しました。"sv},
    {TextId::kReservedNameSuffix, "は設定ファイルとして使用できません"sv},
    {TextId::kSavedSuffix, "を保存しました"sv},
    {TextId::kSettingsFilter, "設定ファイル *.ini|*.ini;||"sv},
    {TextId::kNewSettingsName, "新規作成.ini"sv},
    {TextId::kDownloadOptionsTitle, "ダウンロードオプション"sv},
    {TextId::kDownloadOptionsNote,
     "ダウンロードオプションはWeb上のHTMLを\nビットマップに変換する際のオプションです。"sv},
    {TextId::kCountLabel, "最大検索ファイル数"sv},
    {TextId::kLinkCountLabel, "最大検索重複リンクファイル数"sv},
    {TextId::kAnotherUrlCheck, "指定したURL以下にないURLはダウンロードしない"sv},
    {TextId::kServerCheck, "同一サーバーのみダウンロードする"sv},
    {TextId::kSameCheck, "同一フォルダにダウンロードする"sv},
    {TextId::kFilterCheck, "フィルターを使用する"sv},
    {TextId::kFilterDetails, "フィルター詳細"sv},
    {TextId::kRangeMark, "～"sv},
    {TextId::kStepSuffix, "個おき"sv},
    {TextId::kUseSuffix, "を使う"sv},
    {TextId::kSaveAndClose, "保存して終了"sv},
    {TextId::kCancel, "ｷｬﾝｾﾙ"sv},
    {TextId::kFilterTitle, "フィルター設定"sv},
    {TextId::kFilterNote, "ダウンロードするURLの有効/無効を設定できます"sv},
    {TextId::kUseEnableList, "有効リストを使う"sv},
    {TextId::kUseDisableList, "無効リストを使う"sv},
    {TextId::kAddToEnableList, "有効リストに追加"sv},
    {TextId::kAddToDisableList, "無効リストに追加"sv},
    {TextId::kDeleteEntries, "データを削除"sv},
    {TextId::kEnableListColumn, "有効リスト"sv},
    {TextId::kDisableListColumn, "無効リスト"sv},
    {TextId::kNothingSelected, "リストが選択されていません。"sv},
    {TextId::kHelpMissingPrefix, "HELPファイルがありません。 パス="sv},
    {TextId::kAboutTitle, "TamoのHTMLビットマップ変換のバージョン情報"sv},
    {TextId::kAboutVersion, "TamoのHTMLビットマップ変換  Version 1.0"sv},
    {TextId::kCliUsage,
     "使い方:\n"
     "  rendora                                   ウィンドウを開きます\n"
     "  rendora convert 読み込みフォルダ 出力フォルダ [オプション]\n"
     "                                            フォルダの HTML を画像に変換します\n"
     "  rendora crawl アドレス 出力フォルダ [オプション]\n"
     "                                            アドレス（@a@～@f@ "
     "可）からたどったページを変換し、\n"
     "                                            ほかのファイルをダウンロードします\n"
     "  rendora run [設定ファイル] [オプション]   設定ファイルのとおりに実行します（省略時は\n"
     "                                            ウィンドウが起動時に読むファイル）\n"sv},
    {TextId::kCliWindowOptions, "変換とクロールのオプション（--settings の値を上書きします）:"sv},
    {TextId::kCliRunOptions, "実行のオプション（convert, crawl, run）:"sv},
    {TextId::kCliExitCodes,
     "終了コード: 0 すべて成功、1 失敗したページあり、2 実行を拒否、130 中断（Ctrl-C）"sv},
    {TextId::kCliDefault, "（既定値: %s）"sv},
    {TextId::kCliOn, "オン"sv},
    {TextId::kCliOff, "オフ"sv},
    {TextId::kCliNotUsed, "使わない"sv},
    {TextId::kCliSeeHelp, "使い方は rendora --help で表示します。"sv},
    {TextId::kCliUnknownArgument, "知らないオプションまたは余分な引数です: %s"sv},
    {TextId::kCliValueMissing, "オプションの値がないか多すぎます: %s"sv},
    {TextId::kCliUnreadable, "コマンドラインを読めません: %s"sv},
    {TextId::kCliRangeInvalid, "--range の値を読めません（例: --range b=001:120:5）: %s"sv},
    {TextId::kCliNoRangeInvalid, "--no-range には a から f の一文字を指定してください: %s"sv},
    {TextId::kCliFormatInvalid, "--format には %s のいずれかを指定してください: %s"sv},
    {TextId::kCliJobsInvalid, "--jobs には 1 から 64 の数を指定してください: %s"sv},
    {TextId::kCliShardInvalid, "--shard には K/N（1 ≦ K ≦ N）を指定してください: %s"sv},
    {TextId::kCliPageTimeoutInvalid, "--page-timeout には 1 以上の秒数を指定してください: %s"sv},
    {TextId::kCliCaptureInvalid, "--capture には tiles か snapshot を指定してください: %s"sv},
    {TextId::kCliPngLevelInvalid, "--png-level には 0 から 9 の数を指定してください: %s"sv},
    {TextId::kCliJobsRule, "%s = コア数 × 3、最大 12"sv},
    {TextId::kCliJobsRuleManual, "コア数 × 3、最大 12"sv},
    {TextId::kCliRunTakesOneFile, "run に指定できる設定ファイルは一つです"sv},
    {TextId::kCliNeedsTwoArguments, "読み込み元と出力フォルダの二つを指定してください"sv},
    {TextId::kCliSettingsMissing, "設定ファイルがありません: %s"sv},
    {TextId::kCliPathsNotSet, "読み込みパスと出力パスが設定されていません"sv},
    {TextId::kCliSourceIsAddress,
     "%s はアドレスです。クロールには rendora crawl を使ってください"sv},
    {TextId::kCliSourceNotAddress,
     "%s はアドレスではありません。フォルダの変換には rendora convert を使ってください"sv},
    {TextId::kCliSourceMissing, "読み込みフォルダがありません: %s"sv},
    {TextId::kCliShardOnlyFolders, "--shard はフォルダの変換にだけ使えます"sv},
    {TextId::kCliReportUnwritable, "レポートを書き込めません: %s"sv},
    {TextId::kCliNoDisplay,
     "ディスプレイに接続できません（DISPLAY を確かめるか、--use-display を外してください）"sv},
    {TextId::kCliDisplayUnset, "--use-display が指定されましたが、DISPLAY が設定されていません"sv},
    {TextId::kCliXvfbNotStarted, "Xvfb が起動しませんでした（xvfb パッケージが必要です）"sv},
    {TextId::kCliWorkFolderFailed, "作業フォルダを作成できません: %s"sv},
    {TextId::kCliWorkerNotStarted, "描画プロセスを起動できません"sv},
    {TextId::kCliWritten, "作成"sv},
    {TextId::kCliFailed, "失敗"sv},
    {TextId::kCliSkipped, "スキップ"sv},
    {TextId::kCliIncomplete, "未完了"sv},
    {TextId::kCliInterrupted, "中断"sv},
    {TextId::kCliLiveLine, "%s 件  %s 件/秒  %s  "sv},
    {TextId::kCliSummary, "%s: 作成 %s, 失敗 %s, スキップ %s, 未完了 %s（%s 秒, %s 件/秒）"sv},
    {TextId::kCliDroppedLinks, "除外したリンク:%s"sv},
    {TextId::kCliQualityInvalid, "--quality には 1 から 100 の数を指定してください: %s"sv},
    {TextId::kCliSplitInvalid,
     "--split には 高さ[:重ねる行数]（1 ≦ 高さ ≦ 1000000、0 ≦ 重ねる行数 < 高さ）を指定してください: %s"sv},
    {TextId::kCliSplitTooTall, "--split の高さ %s は %s の最大 %s ピクセルを超えています"sv},
    {TextId::kCliTransparentFormat, "--transparent は png か webp でだけ使えます（形式: %s）"sv},
    {TextId::kMenuOptions, "オプション(&O)"sv},
    {TextId::kMenuOutputSettings, "出力設定..."sv},
    {TextId::kOutputTitle, "出力設定"sv},
    {TextId::kOutputFormatLabel, "画像の形式"sv},
    {TextId::kOutputQualityLabel, "画質（JPEG・WebP、1～100）"sv},
    {TextId::kOutputSplitLabel, "分割する高さ（ピクセル、0 は分割しない）"sv},
    {TextId::kOutputOverlapLabel, "重ねる行数"sv},
    {TextId::kOutputOk, "OK"sv},
    {TextId::kOutputCancel, "キャンセル"sv},
    {TextId::kOutputOverlapTooLarge, "重ねる行数は分割する高さより小さくしてください。"sv},
    {TextId::kOutputSplitTooTall, "この形式で分割できる高さは %s ピクセルまでです。"sv},
    {TextId::kCliPaddingInvalid, "--padding には 0 から 100000 の数を指定してください: %s"sv},
    {TextId::kCliOptionFileUnreadable, "ファイルを読み込めません: %s"sv},
    {TextId::kCliScaleFactorInvalid,
     "--scale-factor には 1, 2, 3 のどれかを指定してください: %s"sv},
    {TextId::kCliColorSchemeInvalid, "--color-scheme には light か dark を指定してください: %s"sv},
    {TextId::kCliRefererInvalid,
     "--referer には auto か http:// または https:// で始まるアドレスを指定してください: %s"sv},
    {TextId::kCliHeaderInvalid, "--header には「名前: 値」の形で指定してください: %s"sv},
    {TextId::kCliSecondsInvalid, "%s には 0 以上の秒数を指定してください: %s"sv},
    {TextId::kCliRateInvalid,
     "--limit-rate には 1 秒あたりのバイト数を指定してください（例: 200k, 1.5m）: %s"sv},
    {TextId::kCliTriesInvalid, "--tries には 1 から 100 の数を指定してください: %s"sv},
    {TextId::kCliPerServerInvalid, "--per-server には 1 から 16 の数を指定してください: %s"sv},
    {TextId::kCookiesUnreadable, "Cookie ファイルを読めません: %s"sv},
    {TextId::kCookiesUnwritable, "Cookie ファイルを書き込めません: %s"sv},
    {TextId::kMenuConnection, "接続設定..."sv},
    {TextId::kConnectionTitle, "接続設定"sv},
    {TextId::kConnectionAgent, "ユーザーエージェント（空欄: 要求ごとの名前）"sv},
    {TextId::kConnectionReferer, "リファラー"sv},
    {TextId::kConnectionRefererNone, "送らない"sv},
    {TextId::kConnectionRefererLink, "リンク元のページ"sv},
    {TextId::kConnectionRefererFixed, "指定のアドレス"sv},
    {TextId::kConnectionHeaders, "追加ヘッダー（1 行に 1 つ、名前: 値）"sv},
    {TextId::kConnectionLoadCookies, "Cookie を読むファイル"sv},
    {TextId::kConnectionSaveCookies, "Cookie を書き出すファイル"sv},
    {TextId::kConnectionProxy, "プロキシ（空欄: 環境変数のもの）"sv},
    {TextId::kConnectionDelay, "同じサーバーへの間隔（秒）"sv},
    {TextId::kConnectionRandomDelay, "間隔をばらつかせる"sv},
    {TextId::kConnectionLimitRate, "速度制限（バイト/秒、例 200k。0: なし）"sv},
    {TextId::kConnectionTries, "試行回数"sv},
    {TextId::kConnectionRetryWait, "再試行までの待ち（秒）"sv},
    {TextId::kConnectionRobots, "robots.txt に従う"sv},
    {TextId::kConnectionPerServer, "サーバーごとの同時転送数（1～16）"sv},
    {TextId::kConnectionInvalid, "%s の値を読めません"sv},
    {TextId::kResumeQuestion, "前回の続きから再開しますか？"sv},
    {TextId::kStateFileNotJournal, "%s は再開できるクロールの状態ファイルではありません"sv},
    {TextId::kStateFileUnwritable, "状態ファイルに書き込めません: %s"sv},
    {TextId::kResumeDiffers, "前回と条件が違うため再開できません: %s（前回: %s、今回: %s）"sv},
    {TextId::kCliStateOnlyCrawl, "--state と --resume はクロールにだけ使えます"sv},
    {TextId::kCliStateWithResume, "--state と --resume は一緒に指定できません"sv},
    {TextId::kConnectionNoClobber, "あって空でないファイルは残す（上書きしない）"sv},
    {TextId::kConnectionContinue, "切れたダウンロードを続きから受け取る"sv},
    {TextId::kConnectionStateFile, "クロールの状態ファイル（再開用）"sv},
};

// Each entry names its text. The build stops unless every name has exactly one entry and entry i
// is the text of name i, so a text can never be read under another text's name.
constexpr bool EveryNameInItsPlace() {
  for (std::size_t i = 0; i < std::size(kEntries); ++i) {
    if (kEntries[i].id != static_cast<TextId>(i)) return false;
  }
  return std::size(kEntries) == static_cast<std::size_t>(TextId::kCount_);
}
static_assert(EveryNameInItsPlace(), "kEntries holds one text per TextId, in the order of TextId");

constexpr std::size_t kTextCount = std::size(kEntries);

const std::array<std::string, kTextCount>& Cp932Table() {
  static const auto table = [] {
    std::array<std::string, kTextCount> converted;
    for (std::size_t i = 0; i < kTextCount; ++i) {
      converted[i] = base::Utf8ToCp932Lossy(kEntries[i].utf8);
    }
    return converted;
  }();
  return table;
}

std::string Format(std::string_view pattern, auto... values) {
  std::string buffer(pattern.size() + 64, '\0');
  const std::string format(pattern);
  for (;;) {
    const int needed = std::snprintf(buffer.data(), buffer.size(), format.c_str(), values...);
    if (needed < 0) return {};
    if (static_cast<std::size_t>(needed) < buffer.size()) {
      buffer.resize(needed);
      return buffer;
    }
    buffer.resize(needed + 1);
  }
}

std::string Cp932(std::string_view utf8) { return base::Utf8ToCp932Lossy(utf8); }

}  // namespace

const std::string& Text(TextId id) { return Cp932Table()[static_cast<std::size_t>(id)]; }

std::string_view TextUtf8(TextId id) { return kEntries[static_cast<std::size_t>(id)].utf8; }

std::string FillUtf8(TextId id, std::initializer_list<std::string_view> values) {
  const std::string_view pattern = TextUtf8(id);
  std::string text;
  std::size_t from = 0;
  for (const std::string_view value : values) {
    const std::size_t mark = pattern.find("%s", from);
    if (mark == std::string_view::npos) break;
    text.append(pattern.substr(from, mark - from)).append(value);
    from = mark + 2;
  }
  return text.append(pattern.substr(from));
}

std::string WriteFailedMessage(std::string_view key) {
  return std::string(key) + Text(TextId::kWriteFailedSuffix);
}

std::string ReservedNameMessage() { return "set.ini" + Text(TextId::kReservedNameSuffix); }

std::string SavedMessage(std::string_view settingsPath) {
  return std::string(settingsPath) + Text(TextId::kSavedSuffix);
}

std::string HelpMissingMessage(std::string_view helpPath) {
  return Text(TextId::kHelpMissingPrefix) + std::string(helpPath);
}

std::string CreatePromptMessage(std::string_view path) {
  return std::string(path) + Cp932("は存在しません。作成しますか？");
}

std::string ProcessedCountText(int pages) {
  return Format(Cp932("%d件のHTMLを処理しました"), pages);
}

std::string PageProgressText(int page, std::string_view name) {
  const std::string nameText(name);
  return Format(Cp932("%d件目 %s 処理中"), page, nameText.c_str());
}

std::string NotRegularFileText(std::string_view name) {
  const std::string nameText(name);
  return Format(Cp932("%s は通常のファイルではないため飛ばしました"), nameText.c_str());
}

std::string DownloadProgressText(int position, int queueLength, std::string_view address) {
  const std::string addressText(address);
  return Format(Cp932("%d / %d:     %sをダウンロード中"), position, queueLength,
                addressText.c_str());
}

std::string DownloadCountText(int successes) {
  return Format(Cp932("ダウンロード件数 %d"), successes);
}

std::string PathMessage(TextId message, std::string_view path) {
  return Format(Text(message), std::string(path).c_str());
}

std::string CookieFileMessage(TextId message, std::string_view path) {
  return PathMessage(message, path);
}

std::string InvalidValueMessage(TextId label) {
  return Format(Text(TextId::kConnectionInvalid), Text(label).c_str());
}

std::string ResumeDiffersText(std::string_view option, std::string_view before,
                              std::string_view now) {
  const auto shown = [](std::string_view value) {
    std::string text;
    for (const char byte : value) text += byte == '\n' ? std::string(", ") : std::string(1, byte);
    return text;
  };
  const std::string optionText(option);
  return Format(Text(TextId::kResumeDiffers), optionText.c_str(), shown(before).c_str(),
                shown(now).c_str());
}

std::string PageNotLoadedText(int page, std::string_view name) {
  const std::string nameText(name);
  return Format(Cp932("%d件目 %s は読み込みが終わらず変換できませんでした"), page,
                nameText.c_str());
}

std::string HelpNoViewerMessage(std::string_view helpPath) {
  return Cp932("HELPを表示できるプログラムがありません。 パス=") + std::string(helpPath);
}

std::string HtmlReportFailedMessage(std::string_view reportPath) {
  return Cp932("レポートを書き込めませんでした。 パス=") + std::string(reportPath);
}

}  // namespace resources
