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
    std::string filePath;   // the download operations only
  };

  // Addresses that answer 200 with their body; every other address fails (404 or no server).
  std::map<std::string, std::string> answers;
  std::vector<Call> calls;
  // Runs after each call is recorded (e.g. to press Stop in the middle of a transfer).
  std::function<void(const Call&)> onCall;

  // "operation address" of every call, oldest first.
  std::vector<std::string> CallLines() const;

  int GetText(const std::string& address, int port, std::string& response) override;
  int GetFormText(const std::string& body, std::string& response, const std::string& address,
                  int port) override;
  int PostFormText(const std::string& body, std::string& response, const std::string& address,
                   int port) override;
  int DownloadFile(const std::string& filePath, const std::string& address, int port) override;
  int DownloadQueryFile(const std::string& filePath, const std::string& address,
                        int port) override;
  // The text between "://" and the next "/" or ":".
  int GetServerName(const std::string& address, int port, std::string& server) override;

 private:
  const std::string* Find(const std::string& address) const;
  void Record(const std::string& operation, const std::string& address,
              const std::string& filePath = {});
  int ToFile(const std::string& operation, const std::string& filePath,
             const std::string& address);
};

}  // namespace testing_support
