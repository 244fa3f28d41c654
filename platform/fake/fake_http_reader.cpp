// Canned HTTP answers with an optional hold.
#include "platform/fake/fake_http_reader.h"

#include <utility>

namespace zv {

void FakeHttpReader::Serve(const std::string& url, const std::string& body, bool complete) {
  Serve(url, HttpResult{body, complete, ""});
}

void FakeHttpReader::Serve(const std::string& url, HttpResult answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  answers_[url] = std::move(answer);
}

void FakeHttpReader::Unserve(const std::string& url) {
  std::lock_guard<std::mutex> lock(mutex_);
  answers_.erase(url);
}

void FakeHttpReader::Hold() {
  std::lock_guard<std::mutex> lock(mutex_);
  held_ = true;
}

void FakeHttpReader::Release() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    held_ = false;
  }
  released_.notify_all();
}

std::vector<std::string> FakeHttpReader::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

HttpResult FakeHttpReader::Get(const std::string& url) {
  std::unique_lock<std::mutex> lock(mutex_);
  requests_.push_back(url);
  released_.wait(lock, [this] { return !held_; });
  auto it = answers_.find(url);
  return it == answers_.end() ? HttpResult{} : it->second;
}

void FakeHttpReader::CancelAll() { Release(); }

}  // namespace zv
