// Move-only owners of the libcurl objects that one transfer uses.
#pragma once

#include <curl/curl.h>

#include <mutex>
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

// One share of cookies among every transfer of a run, with the lock libcurl asks for whenever a
// transfer reads or changes them, so that transfers running side by side see one cookie jar.
class CurlShare {
 public:
  CurlShare() : m_share(curl_share_init()) {
    if (!m_share) return;
    curl_share_setopt(m_share, CURLSHOPT_LOCKFUNC, &Lock);
    curl_share_setopt(m_share, CURLSHOPT_UNLOCKFUNC, &Unlock);
    curl_share_setopt(m_share, CURLSHOPT_USERDATA, &m_mutex);
    curl_share_setopt(m_share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
  }
  ~CurlShare() {
    if (m_share) curl_share_cleanup(m_share);
  }
  CurlShare(const CurlShare&) = delete;
  CurlShare& operator=(const CurlShare&) = delete;

  CURLSH* get() const { return m_share; }

 private:
  static void Lock(CURL*, curl_lock_data, curl_lock_access, void* mutex) {
    static_cast<std::recursive_mutex*>(mutex)->lock();
  }
  static void Unlock(CURL*, curl_lock_data, void* mutex) {
    static_cast<std::recursive_mutex*>(mutex)->unlock();
  }

  std::recursive_mutex m_mutex;
  CURLSH* m_share;
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
  // Takes over a list the library handed out.
  static CurlList Adopt(curl_slist* list) {
    CurlList owned;
    owned.m_list = list;
    return owned;
  }

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
