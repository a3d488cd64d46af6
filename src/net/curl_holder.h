// Move-only owners of the libcurl objects that one transfer uses.
#pragma once

#include <curl/curl.h>

#include <string>
#include <utility>

namespace net {

// One easy handle, cleaned up when the holder goes.
class CurlHandle {
 public:
  CurlHandle() : m_curl(curl_easy_init()) {}
  ~CurlHandle() {
    if (m_curl) curl_easy_cleanup(m_curl);
  }
  CurlHandle(CurlHandle&& other) noexcept : m_curl(std::exchange(other.m_curl, nullptr)) {}
  CurlHandle& operator=(CurlHandle&& other) noexcept {
    std::swap(m_curl, other.m_curl);
    return *this;
  }
  CurlHandle(const CurlHandle&) = delete;
  CurlHandle& operator=(const CurlHandle&) = delete;

  CURL* get() const { return m_curl; }
  explicit operator bool() const { return m_curl != nullptr; }

 private:
  CURL* m_curl;
};

// One multi handle, for a transfer that must hand back control while it waits. The easy handles
// added to it must be removed before it goes.
class CurlMulti {
 public:
  CurlMulti() : m_multi(curl_multi_init()) {}
  ~CurlMulti() {
    if (m_multi) curl_multi_cleanup(m_multi);
  }
  CurlMulti(const CurlMulti&) = delete;
  CurlMulti& operator=(const CurlMulti&) = delete;

  CURLM* get() const { return m_multi; }
  explicit operator bool() const { return m_multi != nullptr; }

 private:
  CURLM* m_multi;
};

// A list of header lines (or of other texts that libcurl takes as a list).
class CurlList {
 public:
  CurlList() = default;
  ~CurlList() { curl_slist_free_all(m_list); }
  CurlList(CurlList&& other) noexcept : m_list(std::exchange(other.m_list, nullptr)) {}
  CurlList& operator=(CurlList&& other) noexcept {
    std::swap(m_list, other.m_list);
    return *this;
  }
  CurlList(const CurlList&) = delete;
  CurlList& operator=(const CurlList&) = delete;

  // False when the line could not be added (out of memory); the list is unchanged then.
  bool Append(const std::string& line) {
    curl_slist* grown = curl_slist_append(m_list, line.c_str());
    if (!grown) return false;
    m_list = grown;
    return true;
  }
  curl_slist* get() const { return m_list; }

 private:
  curl_slist* m_list = nullptr;
};

}  // namespace net
