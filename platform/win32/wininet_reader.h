// The HTTP read facility over WinINet: HTTP/1.0, "Accept: */*", the program's user agent, no
// cache, direct connection; the status is not examined and the body is read to its end.
#pragma once

#include <memory>

#include "platform/http_reader.h"

namespace zv::win32 {

class CancelRegistry;

class WinInetReader final : public IHttpReader {
 public:
  WinInetReader();
  ~WinInetReader() override;
  HttpResult Get(const std::string& url) override;
  void CancelAll() override;

 private:
  std::unique_ptr<CancelRegistry> cancel_;
};

}  // namespace zv::win32
