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
