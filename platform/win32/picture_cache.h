// The pictures the exe carries as RCDATA resources, decoded on first use and shared by every
// box and button that shows them while any of them does. Named by file name ("banner.jpg" is
// resource BANNER_JPG).
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>

#include "platform/win32/picture.h"
#include "platform/win32/sized_picture.h"

namespace zv::win32 {

// The resource name a picture file is embedded under: upper case, '.' as '_'.
std::wstring ResourceNameFor(const std::string& fileName);

// Decodes JPEG, GIF (all frames, with their delays), PNG or BMP bytes with GDI+; transparent
// parts are laid on the dialog background colour. Null when the bytes are not a picture or
// GDI+ is not running.
std::shared_ptr<const Picture> DecodePicture(const void* bytes, size_t size);

class PictureCache {
 public:
  explicit PictureCache(HMODULE module) : module_(module) {}

  // Null for an empty name, a missing resource or undecodable bytes; a broken picture is
  // remembered so it is not decoded again for every control. A picture no control holds any
  // more is freed (controls keep their scaled copies) and decoded again when next asked.
  std::shared_ptr<const Picture> Get(const std::string& fileName);
  // The picture at one device size (darkened: the pressed face of a button that has only one),
  // shared while any control holds it. Nothing is decoded yet; null for an empty name.
  std::shared_ptr<SizedPicture> GetSized(const std::string& fileName, SIZE size, bool darkened);

 private:
  using SizedKey = std::tuple<std::string, LONG, LONG, bool>;

  HMODULE module_;
  std::map<std::string, std::weak_ptr<const Picture>> pictures_;
  std::map<SizedKey, std::weak_ptr<SizedPicture>> sized_;
  std::set<std::string> broken_;
};

}  // namespace zv::win32
