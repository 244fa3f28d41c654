// Background load of the forum page.
#include "online/page_viewer.h"

#include "online/markup_serialiser.h"
#include "online/page_charset.h"

namespace zv {

void PageViewer::Load(const std::string& url) {
  if (started_) return;
  started_ = true;
  busy_ = true;
  worker_ = std::thread([this, url] {
    std::string page;
    try {
      // A page cut off part-way is shown as far as it came, as a browser would.
      page = SerialiseRootElement(PageAsGbk(http_.Get(url), codec_));
    } catch (...) {
      // Out of memory on a huge page: the viewer holds an empty document, like a failed load.
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      page_ = std::move(page);
    }
    busy_ = false;
  });
}

std::string PageViewer::PageText() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return page_;
}

void PageViewer::WaitUntilLoaded() {
  if (worker_.joinable()) worker_.join();
}

void PageViewer::Stop() {
  if (!worker_.joinable()) return;
  if (busy_) http_.CancelAll();
  worker_.join();
}

}  // namespace zv
