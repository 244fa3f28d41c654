// Canned answers by URL for behaviour tests; an unknown URL behaves like a dead site. Reads can
// be held open to see what the program does while a fetch is still running.
#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/http_reader.h"

namespace zv {

class FakeHttpReader : public IHttpReader {
 public:
  void Serve(const std::string& url, const std::string& body, bool complete = true);
  // The whole answer, headers included.
  void Serve(const std::string& url, HttpResult answer);
  // The URL answers no more, like a site that cannot be reached.
  void Unserve(const std::string& url);
  // While held, Get blocks until Release (or CancelAll).
  void Hold();
  void Release();
  std::vector<std::string> Requests() const;

  HttpResult Get(const std::string& url) override;
  void CancelAll() override;

 private:
  mutable std::mutex mutex_;
  std::condition_variable released_;
  bool held_ = false;
  std::map<std::string, HttpResult> answers_;
  std::vector<std::string> requests_;
};

}  // namespace zv
