// The HTTP read facility over WinINet: HTTP/1.0, "Accept: */*", the program's user agent, no
// cache, the system's proxy settings; the status is not examined and the body is read to its
// end.
#pragma once

#include <memory>
#include <mutex>
#include <set>

#include "platform/http_reader.h"

namespace zv::win32 {

struct ReadCall;

class WinInetReader final : public IHttpReader {
 public:
  WinInetReader() = default;
  ~WinInetReader() override;
  HttpResult Get(const std::string& url) override;
  void CancelAll() override;

 private:
  std::mutex mutex_;
  bool cancelled_ = false;
  std::set<std::shared_ptr<ReadCall>> calls_;
};

}  // namespace zv::win32
