// A folder this process may not write to, even as root; an environment variable set for a while.
#include "support/read_only_folder.h"

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>

#include "base/file_system.h"

namespace testing_support {
namespace {

// The bits of the two capabilities that let root past file permissions.
constexpr unsigned kOverrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

// The first word of the thread's effective set, or of the new one when `set` is given.
unsigned Effective(const unsigned* set) {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2] = {};
  if (::syscall(SYS_capget, &header, data) != 0) return 0;
  if (set) {
    data[0].effective = *set & data[0].permitted;
    ::syscall(SYS_capset, &header, data);
  }
  return data[0].effective;
}

void Chmod(const std::string& folder, mode_t mode) {
  if (const auto native = base::ToNativePath(folder)) ::chmod(native->c_str(), mode);
}

}  // namespace

ReadOnlyFolder::ReadOnlyFolder(std::string folder) : m_folder(std::move(folder)) {
  Chmod(m_folder, 0555);
  m_effective = Effective(nullptr);
  const unsigned lowered = m_effective & ~kOverrides;
  Effective(&lowered);
}

ReadOnlyFolder::~ReadOnlyFolder() {
  Effective(&m_effective);
  Chmod(m_folder, 0755);
}

ScopedEnvironment::ScopedEnvironment(std::string name, const std::string& value)
    : m_name(std::move(name)) {
  if (const char* old = std::getenv(m_name.c_str())) {
    m_had = true;
    m_old = old;
  }
  ::setenv(m_name.c_str(), value.c_str(), 1);
}

ScopedEnvironment::~ScopedEnvironment() {
  if (m_had) {
    ::setenv(m_name.c_str(), m_old.c_str(), 1);
  } else {
    ::unsetenv(m_name.c_str());
  }
}

}  // namespace testing_support
