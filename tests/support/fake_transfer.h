// A recording stand-in for the HTTP operations: serves a map of addresses, records every call.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "net/transfer.h"

namespace testing_support {

class FakeTransfer : public net::Transfer {
 public:
  struct Call {
    std::string operation;  // "GetText", "GetFormText", "PostFormText", "DownloadFile",
                            // "DownloadQueryFile", "GetServerName"
    std::string address;
    std::string filePath;     // the download operations only
    std::string linkingPage;  // as SetLinkingPage last named it
  };

  // Addresses that answer 200 with their body; every other address fails (404 or no server).
  std::map<std::string, std::string> answers;
  // Addresses whose transfer fails as given (a cause and its words), for any operation.
  std::map<std::string, net::TransferResult> failures;
  std::vector<Call> calls;
  // Runs after each call is recorded (e.g. to press Stop in the middle of a transfer).
  std::function<void(const Call&)> onCall;

  // "operation address" of every call, oldest first.
  std::vector<std::string> CallLines() const;

  net::TransferResult GetText(const std::string& address) override;
  net::TransferResult GetFormText(const std::string& body, const std::string& address) override;
  net::TransferResult PostFormText(const std::string& body, const std::string& address) override;
  net::TransferResult DownloadFile(const std::string& filePath,
                                   const std::string& address) override;
  net::TransferResult DownloadQueryFile(const std::string& filePath,
                                        const std::string& address) override;
  // The text between "://" and the next "/" or ":".
  std::string GetServerName(const std::string& address) override;
  void SetLinkingPage(const std::string& address) override { m_linkingPage = address; }

 private:
  std::string m_linkingPage;
  const std::string* Find(const std::string& address) const;
  void Record(const std::string& operation, const std::string& address,
              const std::string& filePath = {});
  net::TransferResult ToFile(const std::string& operation, const std::string& filePath,
                             const std::string& address);
  // A failing address: its failure; an answering one: 200 and its body; any other: 404.
  net::TransferResult Answer(const std::string& address) const;
};

}  // namespace testing_support
