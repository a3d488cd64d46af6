// The command line's option descriptions in Japanese and English, side by side.
#include "resources/option_texts.h"

#include <cstddef>
#include <iterator>

namespace resources {
namespace {

using namespace std::string_view_literals;

constexpr OptionHelp kOptions[] = {
    {OptionText::kSettings, "ファイル"sv, "元にする設定ファイル"sv,
     "the settings file whose options the command line overrides"sv},
    {OptionText::kSize, "幅"sv, "Xサイズ: ページを表示する幅（ピクセル）"sv,
     "width the page is shown at, in pixels"sv},
    {OptionText::kWait, "待ち"sv,
     "待ち時間: 読み込みを待つのは 待ち×50 ミリ秒、スクロールごとに 待ち×10 ミリ秒"sv,
     "wait: the load is waited for WAIT x 50 ms, each scroll WAIT x 10 ms"sv},
    {OptionText::kPercent, "比率"sv, "比率: 画像の大きさ（%）"sv,
     "size of the picture in percent of the page"sv},
    {OptionText::kCount, "数"sv, "最大検索ファイル数（クロール）"sv,
     "most files a crawl fetches"sv},
    {OptionText::kLinkCount, "数"sv, "最大検索重複リンクファイル数（クロール）"sv,
     "most repeated links a crawl follows"sv},
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
     "number range of @a@..@f@ (b=001:120:5 gives 001, 006, ..., digits kept)"sv},
    {OptionText::kNoRange, "行"sv, "@a@～@f@ の行（a～f）を使いません"sv,
     "do not use the row (a to f) of @a@..@f@"sv},
    {OptionText::kEnable, "文字列"sv, "ダウンロードするアドレスに含む文字列（繰り返し可）"sv,
     "text an address to download contains (repeatable)"sv},
    {OptionText::kDisable, "文字列"sv, "ダウンロードしないアドレスに含む文字列（繰り返し可）"sv,
     "text an address not to download contains (repeatable)"sv},
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
    {OptionText::kPageTimeout, "秒"sv,
     "--jobs が 2 以上のとき、描画プロセスがページ自身の待ち時間のほかにこの秒数進まなければ、"
     "そのページは timeout で失敗とし、プロセスを入れ替えます"sv,
     "with --jobs > 1, a page whose render worker shows no progress for this long beyond the "
     "page's own waits fails as timeout; its worker is replaced"sv},
    {OptionText::kReport, "ファイル"sv, "結果を JSON Lines で書き出します"sv,
     "write the outcome of every page as JSON Lines"sv},
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
    {OptionText::kHelp, ""sv, "この説明"sv, "this help"sv},
    {OptionText::kVersion, ""sv, "版数"sv, "the version"sv},
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

}  // namespace resources
