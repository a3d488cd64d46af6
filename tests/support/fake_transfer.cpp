// A recording stand-in for the HTTP operations: serves a map of addresses, records every call.
#include "support/fake_transfer.h"

#include <fstream>

#include "base/file_system.h"

namespace testing_support {

std::vector<std::string> FakeTransfer::CallLines() const {
  std::vector<std::string> lines;
  for (const auto& call : calls) lines.push_back(call.operation + " " + call.address);
  return lines;
}

const std::string* FakeTransfer::Find(const std::string& address) const {
  const auto found = answers.find(address);
  return found == answers.end() ? nullptr : &found->second;
}

void FakeTransfer::Record(const std::string& operation, const std::string& address,
                          const std::string& filePath) {
  calls.push_back({operation, address, filePath});
  if (onCall) onCall(calls.back());
}

int FakeTransfer::GetText(const std::string& address, int, std::string& response) {
  Record("GetText", address);
  const std::string* body = Find(address);
  if (!body) return 0;
  response += *body;
  return response.empty() ? 0 : 1;
}

int FakeTransfer::GetFormText(const std::string&, std::string& response,
                              const std::string& address, int) {
  Record("GetFormText", address);
  const std::string* body = Find(address);
  response = body ? *body : std::string();
  return body ? 1 : 0;
}

int FakeTransfer::PostFormText(const std::string&, std::string& response,
                               const std::string& address, int) {
  Record("PostFormText", address);
  const std::string* body = Find(address);
  response = body ? *body : std::string();
  return body ? 1 : 0;
}

// Like the real downloads: the file is made first (nothing is sent when it cannot be), then
// filled with the body of an answering address or left empty.
int FakeTransfer::ToFile(const std::string& operation, const std::string& filePath,
                         const std::string& address) {
  const auto native = base::ToNativePath(filePath);
  std::ofstream file;
  if (native) file.open(*native, std::ios::binary | std::ios::trunc);
  if (!file) return 0;
  Record(operation, address, filePath);
  const std::string* body = Find(address);
  if (!body) return 0;
  file.write(body->data(), static_cast<std::streamsize>(body->size()));
  return 1;
}

int FakeTransfer::DownloadFile(const std::string& filePath, const std::string& address, int) {
  return ToFile("DownloadFile", filePath, address);
}

int FakeTransfer::DownloadQueryFile(const std::string& filePath, const std::string& address,
                                    int) {
  return ToFile("DownloadQueryFile", filePath, address);
}

int FakeTransfer::GetServerName(const std::string& address, int, std::string& server) {
  Record("GetServerName", address);
  const auto start = address.find("://");
  if (start == std::string::npos) {
    server.clear();
    return 1;
  }
  server = address.substr(start + 3, address.find_first_of("/:", start + 3) - start - 3);
  return 1;
}

}  // namespace testing_support
