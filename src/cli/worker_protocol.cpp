// The lines that a worker pool and its render workers exchange.
#include "cli/worker_protocol.h"

#include <nlohmann/json.hpp>

namespace cli {
namespace {

using nlohmann::json;

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

std::string Unhex(const std::string& hex) {
  auto digit = [](char c) { return c <= '9' ? c - '0' : c - 'a' + 10; };
  std::string out;
  out.reserve(hex.size() / 2);
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    out += static_cast<char>(digit(hex[i]) * 16 + digit(hex[i + 1]));
  }
  return out;
}

json PartsJson(const std::vector<convert::PicturePart>& parts) {
  json list = json::array();
  for (const convert::PicturePart& part : parts) {
    list.push_back({Hex(part.output), part.top, part.height, part.bytes});
  }
  return list;
}

std::vector<convert::PicturePart> PartsOf(const json& list) {
  std::vector<convert::PicturePart> parts;
  for (const json& part : list) {
    parts.push_back({Unhex(part.at(0).get<std::string>()), part.at(1).get<int>(),
                     part.at(2).get<int>(), part.at(3).get<long long>()});
  }
  return parts;
}

json RecordJson(const convert::EntryRecord& record) {
  return {{"source", Hex(record.source)},
          {"output", record.output ? json(Hex(*record.output)) : json()},
          {"outcome", static_cast<int>(record.outcome)},
          {"reason", convert::ReasonToken(record.reason)},
          {"width", record.width},
          {"height", record.height},
          {"bytes", record.bytes},
          {"ms", record.milliseconds},
          {"kind", record.kind},
          {"http_status", record.httpStatus},
          {"tries", record.tries},
          {"answered", record.answered.Names()},
          {"capture", record.capture ? json(convert::CaptureMethodName(*record.capture)) : json()},
          {"webgl_refused", record.webglRefused},
          {"parts", PartsJson(record.parts)},
          {"script_error", Hex(record.scriptError)}};
}

convert::EntryRecord RecordOf(const json& value) {
  convert::EntryRecord record;
  record.source = Unhex(value.at("source").get<std::string>());
  if (!value.at("output").is_null()) record.output = Unhex(value.at("output").get<std::string>());
  record.outcome = static_cast<convert::EntryOutcome>(value.at("outcome").get<int>());
  record.reason = convert::ReasonFromToken(value.at("reason").get<std::string>()).value();
  record.width = value.at("width").get<int>();
  record.height = value.at("height").get<int>();
  record.bytes = value.at("bytes").get<long long>();
  record.milliseconds = value.at("ms").get<long long>();
  record.kind = value.at("kind").get<std::string>();
  record.httpStatus = value.at("http_status").get<int>();
  record.tries = value.at("tries").get<int>();
  for (const json& name : value.at("answered")) {
    if (std::optional<convert::EngineRequest> request =
            convert::EngineRequestNamed(name.get<std::string>())) {
      record.answered.Add(*request);
    }
  }
  if (!value.at("capture").is_null()) {
    record.capture = convert::CaptureMethodNamed(value.at("capture").get<std::string>()).value();
  }
  record.webglRefused = value.at("webgl_refused").get<bool>();
  record.parts = PartsOf(value.at("parts"));
  record.scriptError = Unhex(value.at("script_error").get<std::string>());
  return record;
}

json HexList(const std::vector<std::string>& texts) {
  json list = json::array();
  for (const std::string& text : texts) list.push_back(Hex(text));
  return list;
}

std::vector<std::string> UnhexList(const json& list) {
  std::vector<std::string> texts;
  for (const json& text : list) texts.push_back(Unhex(text.get<std::string>()));
  return texts;
}

json PageOptionsJson(const convert::PageOptions& page) {
  return {{"selector", Hex(page.selector)},     {"padding", page.padding},
          {"hide", HexList(page.hide)},         {"remove", HexList(page.remove)},
          {"style", Hex(page.style)},           {"script", Hex(page.script)},
          {"no_javascript", page.noJavaScript}, {"confine", page.confine},
          {"no_network", page.noNetwork}};
}

convert::PageOptions PageOptionsOf(const json& value) {
  convert::PageOptions page;
  page.selector = Unhex(value.at("selector").get<std::string>());
  page.padding = value.at("padding").get<int>();
  page.hide = UnhexList(value.at("hide"));
  page.remove = UnhexList(value.at("remove"));
  page.style = Unhex(value.at("style").get<std::string>());
  page.script = Unhex(value.at("script").get<std::string>());
  page.noJavaScript = value.at("no_javascript").get<bool>();
  page.confine = value.at("confine").get<bool>();
  page.noNetwork = value.at("no_network").get<bool>();
  return page;
}

// Parses `line`, or nullopt when it is not what `read` expects.
template <typename Result, typename Read>
std::optional<Result> Decode(const std::string& line, Read read) {
  const json value = json::parse(line, nullptr, false);
  if (value.is_discarded() || !value.is_object()) return std::nullopt;
  try {
    return read(value);
  } catch (const std::exception&) {  // a JSON error, or a token no reason has
    return std::nullopt;
  }
}

}  // namespace

std::string EncodeSetup(const WorkerSetup& setup) {
  return json{{"size", Hex(setup.size)},
              {"wait", Hex(setup.wait)},
              {"percent", Hex(setup.percent)},
              {"format", std::string(setup.format->Name())},
              {"until_loaded", setup.untilLoaded},
              {"capture", convert::CaptureMethodName(setup.capture)},
              {"compositing", setup.compositing},
              {"png_level", setup.pngLevel},
              {"quality", setup.quality},
              {"split_height", setup.splitHeight},
              {"split_overlap", setup.splitOverlap},
              {"transparent", setup.transparent},
              {"slot", setup.slot},
              {"page", PageOptionsJson(setup.page)},
              {"source_folder", Hex(setup.sourceFolder)},
              {"user_agent", Hex(setup.userAgent)},
              {"proxy", Hex(setup.proxy)},
              {"cookie_file", Hex(setup.cookieFile)}}
      .dump();
}

std::optional<WorkerSetup> DecodeSetup(const std::string& line) {
  return Decode<WorkerSetup>(line, [](const json& value) -> std::optional<WorkerSetup> {
    WorkerSetup setup;
    setup.size = Unhex(value.at("size").get<std::string>());
    setup.wait = Unhex(value.at("wait").get<std::string>());
    setup.percent = Unhex(value.at("percent").get<std::string>());
    setup.format = convert::FindPictureFormat(value.at("format").get<std::string>());
    if (!setup.format) return std::nullopt;
    setup.untilLoaded = value.at("until_loaded").get<bool>();
    const std::optional<convert::CaptureMethod> capture =
        convert::CaptureMethodNamed(value.at("capture").get<std::string>());
    if (!capture) return std::nullopt;
    setup.capture = *capture;
    setup.compositing = value.at("compositing").get<bool>();
    setup.pngLevel = value.at("png_level").get<int>();
    setup.quality = value.at("quality").get<int>();
    setup.splitHeight = value.at("split_height").get<int>();
    setup.splitOverlap = value.at("split_overlap").get<int>();
    setup.transparent = value.at("transparent").get<bool>();
    setup.slot = value.at("slot").get<int>();
    setup.page = PageOptionsOf(value.at("page"));
    setup.sourceFolder = Unhex(value.at("source_folder").get<std::string>());
    setup.userAgent = Unhex(value.at("user_agent").get<std::string>());
    setup.proxy = Unhex(value.at("proxy").get<std::string>());
    setup.cookieFile = Unhex(value.at("cookie_file").get<std::string>());
    return setup;
  });
}

std::string EncodeOrder(const PageOrder& order) {
  return json{{"sequence", order.sequence},      {"page_count", order.pageCount},
              {"location", Hex(order.location)}, {"name", Hex(order.name)},
              {"folder", Hex(order.folder)},     {"entry", RecordJson(order.entry)}}
      .dump();
}

std::optional<PageOrder> DecodeOrder(const std::string& line) {
  return Decode<PageOrder>(line, [](const json& value) {
    PageOrder order;
    order.sequence = value.at("sequence").get<long long>();
    order.pageCount = value.at("page_count").get<int>();
    order.location = Unhex(value.at("location").get<std::string>());
    order.name = Unhex(value.at("name").get<std::string>());
    order.folder = Unhex(value.at("folder").get<std::string>());
    order.entry = RecordOf(value.at("entry"));
    return order;
  });
}

std::string EncodeAnswer(const PageAnswer& answer) {
  return json{{"sequence", answer.sequence}, {"record", RecordJson(answer.record)}}.dump();
}

std::optional<PageAnswer> DecodeAnswer(const std::string& line) {
  return Decode<PageAnswer>(line, [](const json& value) {
    PageAnswer answer;
    answer.sequence = value.at("sequence").get<long long>();
    answer.record = RecordOf(value.at("record"));
    return answer;
  });
}

std::string EncodeProgress(const PageProgress& progress) {
  return json{{"sequence", progress.sequence}, {"progress_ms", progress.wait.count()}}.dump();
}

std::optional<PageProgress> DecodeProgress(const std::string& line) {
  return Decode<PageProgress>(line, [](const json& value) {
    PageProgress progress;
    progress.sequence = value.at("sequence").get<long long>();
    progress.wait = std::chrono::milliseconds(value.at("progress_ms").get<long long>());
    if (progress.wait.count() < 0) throw json::other_error::create(501, "negative wait", nullptr);
    return progress;
  });
}

}  // namespace cli
