// The command line's option descriptions in Japanese and English, side by side.
#include "resources/option_texts.h"

#include <cstddef>
#include <iterator>

namespace resources {
namespace {

using namespace std::string_view_literals;

constexpr OptionHelp kOptions[] = {
    {OptionText::kSettings, "ファイル"sv, "元にする設定ファイル"sv,
     "the settings file whose options the command line overrides"sv, "FILE"sv},
    {OptionText::kSize, "幅"sv, "Xサイズ: ページを表示する幅（ピクセル）"sv,
     "width the page is shown at, in pixels"sv, "WIDTH"sv},
    {OptionText::kWait, "待ち"sv,
     "待ち時間: 読み込みを待つのは 待ち×50 ミリ秒、スクロールごとに 待ち×10 ミリ秒"sv,
     "wait: the load is waited for WAIT x 50 ms, each scroll WAIT x 10 ms"sv, "WAIT"sv},
    {OptionText::kPercent, "比率"sv, "比率: 画像の大きさ（%）"sv,
     "size of the picture in percent of the page"sv, "PERCENT"sv},
    {OptionText::kCount, "数"sv, "最大検索ファイル数（クロール）"sv, "most files a crawl fetches"sv,
     "NUMBER"sv},
    {OptionText::kLinkCount, "数"sv, "最大検索重複リンクファイル数（クロール）"sv,
     "most repeated links a crawl follows"sv, "NUMBER"sv},
    {OptionText::kSubfolders, ""sv, "サブフォルダも対象"sv, "convert the subfolders too"sv},
    {OptionText::kSameServer, ""sv, "同一サーバーのみダウンロードする"sv,
     "download from the start address's server only"sv},
    {OptionText::kUnderStart, ""sv, "指定したURL以下にないURLはダウンロードしない"sv,
     "download nothing outside the start address's folder"sv},
    {OptionText::kOneFolder, ""sv, "同一フォルダにダウンロードする"sv,
     "download every file into one folder"sv},
    {OptionText::kFilter, ""sv, "フィルターを使用する（--enable と --disable のリスト）"sv,
     "filter addresses with the --enable and --disable lists"sv},
    {OptionText::kRange, "a=始め:終わり:間隔"sv,
     "@a@～@f@ の番号の範囲（例: b=001:120:5 は、001, 006, ... と桁をそろえます）"sv,
     "number range of @a@..@f@ (b=001:120:5 gives 001, 006, ..., digits kept)"sv,
     "a=FROM:TO:STEP"sv},
    {OptionText::kNoRange, "行"sv, "@a@～@f@ の行（a～f）を使いません"sv,
     "do not use the row (a to f) of @a@..@f@"sv, "ROW"sv},
    {OptionText::kEnable, "文字列"sv, "ダウンロードするアドレスに含む文字列（繰り返し可）"sv,
     "text an address to download contains (repeatable)"sv, "TEXT"sv},
    {OptionText::kDisable, "文字列"sv, "ダウンロードしないアドレスに含む文字列（繰り返し可）"sv,
     "text an address not to download contains (repeatable)"sv, "TEXT"sv},
    {OptionText::kFormat, ""sv, "画像の形式"sv, "picture file format"sv},
    {OptionText::kJobs, "N"sv, "同時に変換するページ数"sv, "pages converted at once"sv},
    {OptionText::kShard, "K/N"sv, "N 個に分けたページの K 番目だけを変換します（convert）"sv,
     "convert only the K-th of N shares of the pages (convert)"sv},
    {OptionText::kUntilLoaded, ""sv, "ページの読み込みが終わりしだい待ち時間を切り上げます"sv,
     "end each wait as soon as the page has loaded"sv},
    {OptionText::kFixedWait, ""sv,
     "ウィンドウと同じ決まった待ち時間・タイル・合成で撮ります（ウィンドウと同じバイトの画像）"sv,
     "the window's fixed waits, tiles and compositing (the window's bytes)"sv},
    {OptionText::kCapture, "tiles|snapshot"sv,
     "撮り方: スクロールしながらタイルごと、または文書全体を一度に（同じ絵になるときだけ）"sv,
     "how pictures are taken: tile by tile while scrolling, or the whole document at once "
     "(where that gives the same picture)"sv},
    {OptionText::kPngLevel, "0-9"sv, "PNG の圧縮レベル（9 がもっとも小さい）"sv,
     "PNG compression level (9 is the smallest)"sv},
    {OptionText::kQuality, "1-100"sv, "JPEG と WebP の画質（WebP は 100 で劣化なし）"sv,
     "quality of JPEG and WebP (WebP is lossless at 100)"sv},
    {OptionText::kSplit, "高さ[:重ね]"sv,
     "縦長のページを 高さ 行ずつの 名前-001 … に分け、次の画像に 重ね 行を繰り返します"sv,
     "split a tall page into name-001 … of HEIGHT rows each, repeating OVERLAP rows"sv},
    {OptionText::kTransparent, ""sv,
     "ページが背景を決めていないところを透明にします（png と webp）"sv,
     "make the page's own background transparent where it sets none (png and webp)"sv},
    {OptionText::kPageTimeout, "秒"sv,
     "--jobs が 2 以上のとき、描画プロセスがページ自身の待ち時間のほかにこの秒数進まなければ、"
     "そのページは timeout で失敗とし、プロセスを入れ替えます"sv,
     "with --jobs > 1, a page whose render worker shows no progress for this long beyond the "
     "page's own waits fails as timeout; its worker is replaced"sv,
     "SECONDS"sv},
    {OptionText::kReport, "ファイル"sv, "結果を JSON Lines で書き出します"sv,
     "write the outcome of every page as JSON Lines"sv, "FILE"sv},
    {OptionText::kReportHtml, "ファイル"sv,
     "見るためのレポートを HTML で書き出します（画像ごとの縮小画像、結果、失敗を先に）"sv,
     "write a report to look at as one HTML page: a thumbnail of every picture, its outcome, "
     "the failures first"sv,
     "FILE"sv},
    {OptionText::kQuiet, ""sv, "エラーと集計だけを表示します"sv,
     "show only errors and the summary"sv},
    {OptionText::kUseDisplay, ""sv, "仮想ディスプレイを使わず、今のディスプレイに表示します"sv,
     "render on the current display instead of a private virtual one"sv},
    {OptionText::kUserAgent, "名前"sv,
     "すべての要求のエージェント名（指定しなければ要求ごとの名前、ページの描画にも使います）"sv,
     "agent name of every request (else each request's own; pages are rendered with it too)"sv},
    {OptionText::kReferer, "auto|アドレス"sv,
     "Referer: auto はリンク元のページ、アドレスはそのアドレス（既定値: 送らない）"sv,
     "Referer: auto for the linking page, or a fixed address (default: none)"sv},
    {OptionText::kHeader, "\"名前: 値\""sv, "すべての要求に加えるヘッダー（繰り返し可）"sv,
     "header line added to every request (repeatable)"sv},
    {OptionText::kLoadCookies, "ファイル"sv,
     "Cookie を読む cookies.txt（Netscape 形式）、すべての転送で共有します"sv,
     "Netscape cookies.txt read at the start, shared by every transfer"sv},
    {OptionText::kSaveCookies, "ファイル"sv, "終わりに Cookie を書き出すファイル"sv,
     "file the run's cookies are written to at its end"sv},
    {OptionText::kProxy, "アドレス"sv, "プロキシ（指定しなければ環境変数 http_proxy などのもの）"sv,
     "proxy (else the environment's http_proxy and its kin)"sv},
    {OptionText::kDelay, "秒"sv, "同じサーバーへの要求の間隔"sv,
     "pause between requests to one server"sv},
    {OptionText::kRandomDelay, ""sv, "間隔を --delay の 0.5～1.5 倍でばらつかせます"sv,
     "draw each pause between 0.5 and 1.5 times --delay"sv},
    {OptionText::kLimitRate, "速度"sv, "1 秒あたりに受け取るバイト数の上限（例: 200k, 1.5m）"sv,
     "most bytes per second a transfer takes (200k, 1.5m)"sv},
    {OptionText::kTries, "N"sv,
     "1 つの要求を試す回数（タイムアウト、切れた接続、408/429/5xx で再試行。POST は 429, 503, "
     "接続拒否のみ）"sv,
     "tries of one request (timeouts, broken connections, 408/429/5xx are retried; a POST only "
     "on 429, 503 or a refused connection)"sv},
    {OptionText::kRetryWait, "秒"sv,
     "最初の再試行までの待ち、以後倍に（Retry-After はそれ以上、最長 120 秒）"sv,
     "pause before the first retry, doubled after each (at least Retry-After, at most 120 s)"sv},
    {OptionText::kRobots, ""sv,
     "robots.txt に従います（除かれたアドレスは skipped/robots、Crawl-delay で間隔）"sv,
     "obey robots.txt (kept-out addresses are skipped/robots; Crawl-delay sets the pause)"sv},
    {OptionText::kPerServer, "N"sv,
     "1 つのサーバーへ同時に進めるダウンロードの数（接続は使い回し、ファイルと記録の順は 1 "
     "のときと同じ、--delay があれば 1、設定ファイルを使うときはその値）"sv,
     "downloads under way at once per server (connections reused; files and records as with 1; "
     "1 with --delay; a settings file's value where one is used)"sv},
    {OptionText::kNoClobber, ""sv,
     "あって空でない画像とファイルは残し、作り直しません（skipped/exists）、"
     "クロールのページはリンクのために読みます"sv,
     "keep every picture and file that exists and is not empty (skipped/exists; a crawl still "
     "fetches such pages for their links)"sv},
    {OptionText::kContinue, ""sv,
     "切れたダウンロードを 名前.part に残し、次は続きから受け取ります（Range と If-Range）"sv,
     "keep a broken download as NAME.part and fetch the rest next time (Range with If-Range)"sv},
    {OptionText::kState, "ファイル"sv,
     "クロールの経過をこのファイルに書き続け、中断しても --resume で再開できるようにします"sv,
     "journal the crawl to this file as it goes, so that --resume can continue it"sv},
    {OptionText::kResume, "ファイル"sv,
     "--state で書いたクロールを続きから再開します、キューを決めるオプションは前回と同じに"sv,
     "continue the crawl journalled in FILE (with the same options that shape its queue)"sv},
    {OptionText::kHelp, ""sv, "この説明"sv, "this help"sv},
    {OptionText::kVersion, ""sv, "版数"sv, "the version"sv},
    {OptionText::kSelector, "CSS"sv,
     "最初に合う要素だけを撮ります（なければ、no element で失敗）"sv,
     "picture only the first element this selector matches (none: failed, no element)"sv},
    {OptionText::kPadding, "ピクセル"sv, "--selector の要素のまわりに含める幅"sv,
     "pixels of the page around the --selector element"sv},
    {OptionText::kHide, "CSS"sv, "合う要素を見えなくします。場所は残ります（繰り返し可）"sv,
     "make matching elements invisible, keeping their space (repeatable)"sv},
    {OptionText::kRemove, "CSS"sv, "合う要素をレイアウトから取り除きます（繰り返し可）"sv,
     "take matching elements out of the layout (repeatable)"sv},
    {OptionText::kStyle, "CSS|@ファイル"sv, "ページに加えるスタイルシート"sv,
     "a style sheet added to every page"sv},
    {OptionText::kScript, "JS|@ファイル"sv,
     "読み込みのあと、撮る前にページで実行するスクリプト（エラーは、レポートの script_error）"sv,
     "a script run in the page after the load, before the picture (errors: script_error)"sv},
    {OptionText::kNoJavaScript, ""sv, "ページ自身のスクリプトを実行しません"sv,
     "do not run the page's own scripts"sv},
    {OptionText::kConfine, ""sv,
     "ローカルのページが読めるファイルを、変換する読み込みフォルダの下だけにします"sv,
     "let a local page read files under the source folder only"sv},
    {OptionText::kNoNetwork, ""sv, "ローカルのページにネットワークから何も読み込ませません"sv,
     "let a local page load nothing from the network"sv},
    {OptionText::kScaleFactor, "1|2|3"sv,
     "デバイスのピクセル数（ページの 1 ピクセルあたり）、レイアウトの幅は同じで、"
     "文字がくっきりします（--percent はそのあと）"sv,
     "device pixels drawn for each pixel of the page (the same layout, sharper text; --percent "
     "applies after)"sv},
    {OptionText::kColorScheme, "light|dark"sv, "読む人の好みとしてページに伝える配色"sv,
     "the colour scheme pages are told the reader prefers"sv},
};

// The build stops unless entry i describes option i, one entry per option.
constexpr bool EveryOptionInItsPlace() {
  for (std::size_t i = 0; i < std::size(kOptions); ++i) {
    if (kOptions[i].id != static_cast<OptionText>(i)) return false;
  }
  return std::size(kOptions) == static_cast<std::size_t>(OptionText::kCount_);
}
static_assert(EveryOptionInItsPlace(), "kOptions holds one entry per OptionText, in its order");

}  // namespace

const OptionHelp& HelpOf(OptionText id) { return kOptions[static_cast<std::size_t>(id)]; }

std::string_view EnglishValueOf(const OptionHelp& help, std::string_view shown) {
  if (!help.englishValue.empty()) return help.englishValue;
  for (const char c : shown) {
    if (static_cast<unsigned char>(c) >= 0x80) return "VALUE";
  }
  return shown.empty() ? "VALUE" : shown;
}

}  // namespace resources
