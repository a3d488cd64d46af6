// The system's fixed texts (messages, labels, captions), held once in code page 932.
#include "resources/texts.h"

#include <array>
#include <cstdio>

#include "base/encoding.h"

namespace resources {
namespace {

using namespace std::string_view_literals;

// UTF-8 source of every text, in the order of TextId.
constexpr std::array<std::string_view, static_cast<std::size_t>(TextId::kCount_)> kUtf8 = {
    "Rendora"sv,
    "TamoのHTML　ビットマップ変換"sv,
    " のﾊﾞｰｼﾞｮﾝ情報(&A)..."sv,
    "読み込みパス"sv,
    "(URL指定可能)"sv,
    "出力パス"sv,
    "オプション"sv,
    "Xサイズ"sv,
    "待ち時間"sv,
    "比率"sv,
    "%"sv,
    "サブフォルダも対象"sv,
    "ダウンロード詳細"sv,
    "終了"sv,
    "作成"sv,
    "中止"sv,
    "ファイル(&F)"sv,
    "新規作成"sv,
    "開く"sv,
    "上書き保存"sv,
    "別名保存"sv,
    "終了"sv,
    "実行(&R)"sv,
    "実行開始"sv,
    "実行中止"sv,
    "ヘルプ(&H)"sv,
    "バージョン情報"sv,
    "ヘルプ"sv,
    "保存"sv,
    "開始"sv,
    "ホームページ"sv,
    "処理終了"sv,
    "ディレクトリを作成できません。処理を終了します。"sv,
    "ディレクトリが存在しません。作成します"sv,
    "値が設定されていません"sv,
    "ダウンロード数は0以上を指定してください。"sv,
    "最大検索重複リンクファイル数は0以上を指定してください。"sv,
    "1以上を指定してください"sv,
    "初期表示"sv,
    "初期設定ファイルの書き込みに失敗しました。"sv,
    "読み込みパスの書き込みに失敗しました。"sv,
    "書き込みパスの書き込みに失敗しました。"sv,
    "サイズの書き込みに失敗しました。"sv,
    "待ち時間の書き込みに失敗しました。"sv,
    "比率の書き込みに失敗しました。"sv,
    "サブディレクトリの書き込みに失敗しました。"sv,
    "の書き込みに失敗しました。"sv,
    "は設定ファイルとして使用できません"sv,
    "を保存しました"sv,
    "設定ファイル *.ini|*.ini;||"sv,
    "新規作成.ini"sv,
    "ダウンロードオプション"sv,
    "ダウンロードオプションはWeb上のHTMLを\nビットマップに変換する際のオプションです。"sv,
    "最大検索ファイル数"sv,
    "最大検索重複リンクファイル数"sv,
    "指定したURL以下にないURLはダウンロードしない"sv,
    "同一サーバーのみダウンロードする"sv,
    "同一フォルダにダウンロードする"sv,
    "フィルターを使用する"sv,
    "フィルター詳細"sv,
    "～"sv,
    "個おき"sv,
    "を使う"sv,
    "保存して終了"sv,
    "ｷｬﾝｾﾙ"sv,
    "フィルター設定"sv,
    "ダウンロードするURLの有効/無効を設定できます"sv,
    "有効リストを使う"sv,
    "無効リストを使う"sv,
    "有効リストに追加"sv,
    "無効リストに追加"sv,
    "データを削除"sv,
    "有効リスト"sv,
    "無効リスト"sv,
    "リストが選択されていません。"sv,
    "HELPファイルがありません。 パス="sv,
    "TamoのHTMLビットマップ変換のバージョン情報"sv,
    "TamoのHTMLビットマップ変換  Version 1.0"sv,
};

const std::array<std::string, kUtf8.size()>& Cp932Table() {
  static const auto table = [] {
    std::array<std::string, kUtf8.size()> converted;
    for (std::size_t i = 0; i < kUtf8.size(); ++i) converted[i] = base::Utf8ToCp932Lossy(kUtf8[i]);
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

std::string_view TextUtf8(TextId id) { return kUtf8[static_cast<std::size_t>(id)]; }

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

std::string PageNotLoadedText(int page, std::string_view name) {
  const std::string nameText(name);
  return Format(Cp932("%d件目 %s は読み込みが終わらず変換できませんでした"), page, nameText.c_str());
}

std::string HelpNoViewerMessage(std::string_view helpPath) {
  return Cp932("HELPを表示できるプログラムがありません。 パス=") + std::string(helpPath);
}

}  // namespace resources
