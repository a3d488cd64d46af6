// Continued downloads against a loopback server that breaks the connection half-way through a
// large file: the rest is asked for and joined, or the file started over, and without the option
// nothing is kept.
#include <gtest/gtest.h>

#include <random>

#include "base/file_system.h"
#include "net/curl_transfer.h"
#include "support/http_server.h"
#include "support/temp_folder.h"

namespace {

using testing_support::Answer;
using testing_support::ReadFile;

constexpr std::size_t kSize = 1 << 20;
constexpr std::size_t kCut = 400000;

std::string RandomBytes() {
  std::mt19937 random(22);
  std::string bytes(kSize, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  return bytes;
}

TEST(ContinuedDownload, ABrokenFileIsJoinedOrStartedOverAndEndsEqualToTheServers) {
  const std::string file = RandomBytes();
  const testing_support::HeaderList etag = {{"ETag", "\"v1\""}};
  Answer broken(200, file, "application/octet-stream", etag);
  broken.resetAfter = kCut;
  // The rest from `from` on, as a server that keeps ranges answers it.
  const auto rest = [&](std::size_t from) {
    Answer answer(206, file.substr(from), "application/octet-stream", etag);
    answer.headers.emplace_back("Content-Range", "bytes " + std::to_string(from) + "-" +
                                                     std::to_string(kSize - 1) + "/" +
                                                     std::to_string(kSize));
    return answer;
  };
  const Answer whole(200, file, "application/octet-stream", {{"ETag", "\"v2\""}});
  struct Case {
    std::string name;
    bool continues;
    bool ranges;  // the server answers the rest
    int status;   // of the second answer
  } cases[] = {
      {"the server continues", true, true, 206},
      {"the server has no ranges or another file: started over", true, false, 200},
      {"without the option nothing is kept", false, false, 200},
  };
  for (const Case& c : cases) {
    testing_support::HttpServer server;
    server.Serve("/big.bin", broken);
    testing_support::TempFolder temp;
    net::CurlTransfer transfer;
    transfer.SetContinueDownloads(c.continues);
    const std::string path = temp / "big.bin";

    const net::TransferResult cut = transfer.DownloadFile(path, server.Address("/big.bin"));
    EXPECT_FALSE(cut.ok) << c.name;
    EXPECT_EQ(ReadFile(path), "") << c.name;  // the final name stays empty until the body is whole
    // A reset loses what was still on its way: the part holds what came.
    const std::size_t kept = ReadFile(path + ".part").size();
    EXPECT_EQ(kept > 0 && kept <= kCut, c.continues) << c.name;
    server.Serve("/big.bin", c.ranges ? rest(kept) : whole);

    const net::TransferResult second = transfer.DownloadFile(path, server.Address("/big.bin"));
    EXPECT_TRUE(second.ok) << c.name << ": " << second.error;
    EXPECT_EQ(second.status, c.status) << c.name;
    EXPECT_TRUE(ReadFile(path) == file) << c.name;
    EXPECT_FALSE(base::FileExists(path + ".part")) << c.name;
    const testing_support::RecordedRequest asked = server.Requests().back();
    EXPECT_EQ(asked.Header("Range"), c.continues ? "bytes=" + std::to_string(kept) + "-" : "")
        << c.name;
    EXPECT_EQ(asked.Header("If-Range"), c.continues ? "\"v1\"" : "") << c.name;
  }
}

}  // namespace
