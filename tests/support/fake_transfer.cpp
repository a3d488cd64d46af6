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
  calls.push_back({operation, address, filePath, m_linkingPage});
  if (onCall) onCall(calls.back());
}

net::TransferResult FakeTransfer::Answer(const std::string& address) const {
  if (const auto failed = failures.find(address); failed != failures.end()) return failed->second;
  net::TransferResult result;
  const std::string* body = Find(address);
  result.ok = body != nullptr;
  result.status = body ? 200 : 404;
  result.cause = body ? net::TransferCause::kNone : net::TransferCause::kHttpStatus;
  if (body) {
    result.bytes = body->size();
    result.text = *body;
  }
  return result;
}

net::TransferResult FakeTransfer::GetText(const std::string& address) {
  Record("GetText", address);
  net::TransferResult result = Answer(address);
  if (result.ok && result.text.empty()) {
    result.ok = false;
    result.cause = net::TransferCause::kEmpty;
  }
  return result;
}

net::TransferResult FakeTransfer::GetFormText(const std::string&, const std::string& address) {
  Record("GetFormText", address);
  return Answer(address);
}

net::TransferResult FakeTransfer::PostFormText(const std::string&, const std::string& address) {
  Record("PostFormText", address);
  return Answer(address);
}

// Like the real downloads: the file is made first (nothing is sent when it cannot be), then
// filled with the body of an answering address or left empty.
net::TransferResult FakeTransfer::ToFile(const std::string& operation, const std::string& filePath,
                                         const std::string& address) {
  const auto native = base::ToNativePath(filePath);
  std::ofstream file;
  if (native) file.open(*native, std::ios::binary | std::ios::trunc);
  if (!file) {
    net::TransferResult refused;
    refused.cause = net::TransferCause::kWriteError;
    refused.error = "the file cannot be created";
    return refused;
  }
  Record(operation, address, filePath);
  net::TransferResult result = Answer(address);
  file.write(result.text.data(), static_cast<std::streamsize>(result.text.size()));
  result.text.clear();
  return result;
}

net::TransferResult FakeTransfer::DownloadFile(const std::string& filePath,
                                               const std::string& address) {
  return ToFile("DownloadFile", filePath, address);
}

net::TransferResult FakeTransfer::DownloadQueryFile(const std::string& filePath,
                                                    const std::string& address) {
  return ToFile("DownloadQueryFile", filePath, address);
}

std::string FakeTransfer::GetServerName(const std::string& address) {
  Record("GetServerName", address);
  const auto start = address.find("://");
  if (start == std::string::npos) return {};
  return address.substr(start + 3, address.find_first_of("/:", start + 3) - start - 3);
}

}  // namespace testing_support
