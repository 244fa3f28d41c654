// The hidden forum-page viewer behind 超文本浏览框1: it loads one page in the background and
// then holds its text as the old embedded browser would have given it out: decoded by its
// character set, in GBK, written back the old engine's way.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "platform/http_reader.h"
#include "platform/text_codec.h"

namespace zv {

class PageViewer {
 public:
  PageViewer(IHttpReader& http, const ITextCodec& codec) : http_(http), codec_(codec) {}
  ~PageViewer() { Stop(); }
  PageViewer(const PageViewer&) = delete;
  PageViewer& operator=(const PageViewer&) = delete;

  // Starts loading `url` on a worker thread. A viewer loads one page once; later calls do
  // nothing.
  void Load(const std::string& url);
  // True from Load until the fetch has ended, whatever its result.
  bool Busy() const { return busy_; }
  // The page's root element in the old browser's form; empty before loading ends and for a
  // page that could not be read at all.
  std::string PageText() const;
  // Waits until a started load has ended.
  void WaitUntilLoaded();
  // Cancels a running fetch and waits for the worker (program exit).
  void Stop();

 private:
  IHttpReader& http_;
  const ITextCodec& codec_;
  std::thread worker_;
  std::atomic<bool> busy_{false};
  bool started_ = false;
  mutable std::mutex mutex_;
  std::string page_;
};

}  // namespace zv
