// Resource lookup and GDI+ decoding of the embedded pictures.
#include "platform/win32/picture_cache.h"

#include <objidl.h>
#include <shlwapi.h>
#include <gdiplus.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "platform/win32/code_page.h"
#include "platform/win32/scoped_handles.h"

namespace zv::win32 {
namespace {

// GIF frame delays are stored in hundredths of a second.
constexpr int kGifDelayUnitMs = 10;
// RT_RCDATA in its wide form, whatever UNICODE says.
const wchar_t* const kRawData = MAKEINTRESOURCEW(10);

// A COM interface pointer, released when done.
template <typename Interface>
struct ComTraits : NullIsNone<Interface*> {
  static void Close(Interface* pointer) { pointer->Release(); }
};

std::vector<int> FrameDelays(Gdiplus::Bitmap& bitmap, size_t frames) {
  std::vector<int> delays(frames, 0);
  const UINT size = bitmap.GetPropertyItemSize(PropertyTagFrameDelay);
  if (size < sizeof(Gdiplus::PropertyItem)) return delays;
  std::vector<std::uint8_t> buffer(size);
  auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
  if (bitmap.GetPropertyItem(PropertyTagFrameDelay, size, item) != Gdiplus::Ok) return delays;
  const size_t count = std::min<size_t>(frames, item->length / sizeof(std::uint32_t));
  const auto* values = static_cast<const std::uint32_t*>(item->value);
  for (size_t i = 0; i < count; ++i) delays[i] = static_cast<int>(values[i]) * kGifDelayUnitMs;
  return delays;
}

}  // namespace

std::wstring ResourceNameFor(const std::string& fileName) {
  std::string name = fileName;
  for (char& c : name) {
    if (c == '.') c = '_';
    else if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return GbkToWide(name);
}

std::shared_ptr<const Picture> DecodePicture(const void* bytes, size_t size) {
  if (bytes == nullptr || size == 0 || size > UINT_MAX) return nullptr;
  // The stream keeps its own copy, so the bytes only need to live for this call; an animation
  // keeps stream and decoder for the frames it has not shown yet.
  auto stream = std::make_shared<UniqueHandle<ComTraits<IStream>>>(
      SHCreateMemStream(static_cast<const BYTE*>(bytes), static_cast<UINT>(size)));
  if (!*stream) return nullptr;
  auto bitmap = std::make_shared<Gdiplus::Bitmap>(stream->get());
  if (bitmap->GetLastStatus() != Gdiplus::Ok) return nullptr;
  const int width = static_cast<int>(bitmap->GetWidth());
  const int height = static_cast<int>(bitmap->GetHeight());
  if (width <= 0 || height <= 0) return nullptr;

  const UINT counted = bitmap->GetFrameCount(&Gdiplus::FrameDimensionTime);
  const size_t frameCount = counted > 1 ? counted : 1;
  const std::vector<int> delays = FrameDelays(*bitmap, frameCount);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const Gdiplus::Color background(GetRValue(face), GetGValue(face), GetBValue(face));
  auto decode = [stream, bitmap, background, animated = frameCount > 1](size_t frame) {
    HBITMAP made = nullptr;
    if (animated && bitmap->SelectActiveFrame(&Gdiplus::FrameDimensionTime,
                                              static_cast<UINT>(frame)) != Gdiplus::Ok) {
      return GdiObject<HBITMAP>();
    }
    if (bitmap->GetHBITMAP(background, &made) != Gdiplus::Ok) made = nullptr;
    return GdiObject<HBITMAP>(made);
  };

  std::vector<PictureFrame> frames(frameCount);
  for (size_t i = 0; i < frameCount; ++i) frames[i].delayMs = delays[i];
  // The first frame now: a picture that does not decode is no picture.
  frames[0].bitmap = decode(0);
  if (!frames[0].bitmap) return nullptr;
  if (frameCount == 1) return std::make_shared<Picture>(width, height, std::move(frames));
  return std::make_shared<Picture>(width, height, std::move(frames), std::move(decode));
}

std::shared_ptr<const Picture> PictureCache::Get(const std::string& fileName) {
  if (fileName.empty() || broken_.count(fileName)) return nullptr;
  const auto found = pictures_.find(fileName);
  if (found != pictures_.end()) {
    if (auto picture = found->second.lock()) return picture;
  }

  std::shared_ptr<const Picture> picture;
  const std::wstring name = ResourceNameFor(fileName);
  // Resource data stays mapped with the module; there is nothing to free.
  if (HRSRC resource = FindResourceW(module_, name.c_str(), kRawData)) {
    const HGLOBAL loaded = LoadResource(module_, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    picture = DecodePicture(bytes, SizeofResource(module_, resource));
  }
  if (!picture) {
    broken_.insert(fileName);
    return nullptr;
  }
  pictures_[fileName] = picture;
  return picture;
}

std::shared_ptr<SizedPicture> PictureCache::GetSized(const std::string& fileName, SIZE size,
                                                     bool darkened) {
  if (fileName.empty()) return nullptr;
  const SizedKey key{fileName, size.cx, size.cy, darkened};
  const auto found = sized_.find(key);
  if (found != sized_.end()) {
    if (auto sized = found->second.lock()) return sized;
  }
  // The cache outlives every control of the host that owns both.
  auto sized =
      std::make_shared<SizedPicture>([this, fileName] { return Get(fileName); }, size, darkened);
  sized_[key] = sized;
  return sized;
}

}  // namespace zv::win32
