// One HTTP GET of a URL, read to the end of the body. Used for the version document and the
// forum page; the request is the same for every read the program makes.
#pragma once

#include <string>

namespace zv {

struct HttpResult {
  // Whatever body bytes arrived, also when the connection failed part-way; the response
  // status is not looked at, so an error page is a body like any other.
  std::string body;
  // False when the request failed, timed out or was cancelled before the body ended.
  bool complete = false;
  // The answer's Content-Type header as sent (for instance "text/html; charset=utf-8"); empty
  // when there was none or no answer at all. It tells which character set the body is in.
  std::string contentType;
};

class IHttpReader {
 public:
  virtual ~IHttpReader() = default;
  // Blocks until the body has ended or the read has failed. Connecting and each wait for data
  // are bounded, so a dead site gives up within seconds.
  virtual HttpResult Get(const std::string& url) = 0;
  // Makes reads still running on other threads give up at once (program exit).
  virtual void CancelAll() = 0;
};

}  // namespace zv
