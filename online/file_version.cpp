// The walk from the DOS header to VS_FIXEDFILEINFO, as the PE format and the version resource
// are documented. Offsets are added in 64 bits, so no field, however large, wraps around.
// https://learn.microsoft.com/windows/win32/debug/pe-format
// https://learn.microsoft.com/windows/win32/menurc/vs-versioninfo
#include "online/file_version.h"

#include <algorithm>

#include "base/little_endian.h"

namespace zv {
namespace {

constexpr uint32_t kDosMagic = 0x5A4D;  // "MZ"
constexpr uint64_t kNewHeaderPointerAt = 0x3C;
constexpr uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr uint64_t kCoffHeaderBytes = 20;
constexpr uint64_t kSectionCountAt = 2;  // in the COFF header
constexpr uint64_t kOptionalHeaderSizeAt = 16;
// The optional header of a 64-bit program: its magic, the number of data directories and where
// they begin. A 32-bit program lays them out elsewhere; it is no build of ours either.
constexpr uint32_t kPe32PlusMagic = 0x20B;
constexpr uint64_t kDirectoryCountAt = 108;
constexpr uint64_t kDirectoriesAt = 112;
constexpr uint32_t kResourceDirectory = 2;
constexpr uint64_t kDirectoryEntryBytes = 8;
constexpr uint64_t kSectionHeaderBytes = 40;

constexpr uint64_t kResourceDirectoryBytes = 16;
constexpr uint64_t kResourceEntryBytes = 8;
constexpr uint64_t kResourceDataEntryBytes = 16;
constexpr uint32_t kSubdirectoryBit = 0x80000000;
constexpr uint32_t kVersionType = 16;  // RT_VERSION
constexpr uint32_t kVersionName = 1;   // VS_VERSION_INFO: the resource GetFileVersionInfo reads

// VS_VERSIONINFO: wLength, wValueLength, wType, the key, then the fixed part at the next 32-bit
// boundary from the block's start.
constexpr char kVersionKeyText[] = "V\0S\0_\0V\0E\0R\0S\0I\0O\0N\0_\0I\0N\0F\0O\0\0";
constexpr std::string_view kVersionKey(kVersionKeyText, sizeof kVersionKeyText);  // with its NUL
constexpr uint64_t kKeyAt = 6;
constexpr uint64_t kFixedAt = (kKeyAt + kVersionKey.size() + 3) / 4 * 4;
constexpr uint64_t kFixedBytes = 52;
constexpr uint32_t kFixedSignature = 0xFEEF04BD;
constexpr uint64_t kFileVersionAt = 8;  // in the fixed part: high, then low 32 bits

std::optional<uint32_t> Read(std::string_view bytes, uint64_t at, uint64_t size) {
  if (at > bytes.size() || bytes.size() - at < size) return std::nullopt;
  return ReadLittleEndian(bytes, static_cast<size_t>(at), static_cast<size_t>(size));
}

std::optional<std::string_view> Slice(std::string_view bytes, uint64_t at, uint64_t size) {
  if (at > bytes.size() || bytes.size() - at < size) return std::nullopt;
  return bytes.substr(static_cast<size_t>(at), static_cast<size_t>(size));
}

// The program file as the loader sees it: addresses (RVAs) inside sections, each backed by a
// stretch of the file.
class Image {
 public:
  static std::optional<Image> Open(std::string_view bytes) {
    if (Read(bytes, 0, 2) != kDosMagic) return std::nullopt;
    const std::optional<uint32_t> pe = Read(bytes, kNewHeaderPointerAt, 4);
    if (!pe || Read(bytes, *pe, 4) != kPeSignature) return std::nullopt;
    const uint64_t coff = uint64_t{*pe} + 4;
    const std::optional<uint32_t> sections = Read(bytes, coff + kSectionCountAt, 2);
    const std::optional<uint32_t> optionalSize = Read(bytes, coff + kOptionalHeaderSizeAt, 2);
    if (!sections || !optionalSize) return std::nullopt;
    const uint64_t optional = coff + kCoffHeaderBytes;
    const uint64_t resourceAt = kDirectoriesAt + kResourceDirectory * kDirectoryEntryBytes;
    const std::optional<uint32_t> directories = Read(bytes, optional + kDirectoryCountAt, 4);
    if (Read(bytes, optional, 2) != kPe32PlusMagic || !directories ||
        *directories <= kResourceDirectory || resourceAt + kDirectoryEntryBytes > *optionalSize) {
      return std::nullopt;
    }
    const std::optional<uint32_t> resourceAddress = Read(bytes, optional + resourceAt, 4);
    const std::optional<uint32_t> resourceSize = Read(bytes, optional + resourceAt + 4, 4);
    if (!resourceAddress || !resourceSize) return std::nullopt;
    Image image;
    image.bytes_ = bytes;
    image.resourceAddress_ = *resourceAddress;
    image.resourceSize_ = *resourceSize;
    image.sectionsAt_ = optional + *optionalSize;
    image.sectionCount_ = *sections;
    if (!Slice(bytes, image.sectionsAt_, image.sectionCount_ * kSectionHeaderBytes)) {
      return std::nullopt;
    }
    return image;
  }

  // The bytes at [address, address + size), when one section holds all of them in the file.
  std::optional<std::string_view> At(uint64_t address, uint64_t size) const {
    for (uint64_t i = 0; i < sectionCount_; ++i) {
      const uint64_t header = sectionsAt_ + i * kSectionHeaderBytes;
      const uint32_t virtualSize = *Read(bytes_, header + 8, 4);
      const uint32_t start = *Read(bytes_, header + 12, 4);
      const uint32_t rawSize = *Read(bytes_, header + 16, 4);
      const uint32_t rawAt = *Read(bytes_, header + 20, 4);
      // The loader takes no more from the file than the section's size in memory.
      const uint64_t backed = virtualSize == 0 ? rawSize : std::min(virtualSize, rawSize);
      if (address >= start && address + size <= start + backed) {
        return Slice(bytes_, rawAt + (address - start), size);
      }
    }
    return std::nullopt;
  }

  // Resource directories address each other by offsets from the resource data's start, and
  // never point past its end.
  std::optional<std::string_view> Resource(uint64_t offset, uint64_t size) const {
    if (offset > resourceSize_ || resourceSize_ - offset < size) return std::nullopt;
    return At(resourceAddress_ + offset, size);
  }

 private:
  Image() = default;

  std::string_view bytes_;
  uint32_t resourceAddress_ = 0;
  uint32_t resourceSize_ = 0;
  uint64_t sectionsAt_ = 0;
  uint64_t sectionCount_ = 0;
};

struct Directory {
  std::string_view entries;
  uint32_t named = 0;  // named entries come first, then the numbered ones
  uint32_t count = 0;
};

std::optional<Directory> OpenDirectory(const Image& image, uint32_t offset) {
  const std::optional<std::string_view> header = image.Resource(offset, kResourceDirectoryBytes);
  if (!header) return std::nullopt;
  Directory directory;
  directory.named = ReadLittleEndian(*header, 12, 2);
  directory.count = directory.named + ReadLittleEndian(*header, 14, 2);
  const std::optional<std::string_view> entries = image.Resource(
      uint64_t{offset} + kResourceDirectoryBytes, directory.count * kResourceEntryBytes);
  if (!entries) return std::nullopt;
  directory.entries = *entries;
  return directory;
}

// Where the numbered entry `id` leads; nothing when the directory has none or several.
std::optional<uint32_t> NumberedEntry(const Directory& directory, uint32_t id) {
  std::optional<uint32_t> found;
  for (uint32_t i = directory.named; i < directory.count; ++i) {
    if (ReadLittleEndian(directory.entries, i * kResourceEntryBytes, 4) != id) continue;
    if (found) return std::nullopt;
    found = ReadLittleEndian(directory.entries, i * kResourceEntryBytes + 4, 4);
  }
  return found;
}

std::optional<uint32_t> Subdirectory(std::optional<uint32_t> entry) {
  if (!entry || (*entry & kSubdirectoryBit) == 0) return std::nullopt;
  return *entry & ~kSubdirectoryBit;
}

// The version resource's bytes: type 16, name 1, and its only language.
std::optional<std::string_view> VersionResource(const Image& image) {
  const std::optional<Directory> types = OpenDirectory(image, 0);
  const std::optional<uint32_t> names =
      Subdirectory(types ? NumberedEntry(*types, kVersionType) : std::nullopt);
  const std::optional<Directory> byName = names ? OpenDirectory(image, *names) : std::nullopt;
  const std::optional<uint32_t> languages =
      Subdirectory(byName ? NumberedEntry(*byName, kVersionName) : std::nullopt);
  const std::optional<Directory> byLanguage =
      languages ? OpenDirectory(image, *languages) : std::nullopt;
  if (!byLanguage || byLanguage->count != 1) return std::nullopt;
  const uint32_t data = ReadLittleEndian(byLanguage->entries, 4, 4);
  if (data & kSubdirectoryBit) return std::nullopt;
  const std::optional<std::string_view> entry = image.Resource(data, kResourceDataEntryBytes);
  if (!entry) return std::nullopt;
  // The data entry holds an address of its own, not an offset into the resource data.
  return image.At(ReadLittleEndian(*entry, 0, 4), ReadLittleEndian(*entry, 4, 4));
}

std::optional<FileVersion> FixedFileVersion(std::string_view block) {
  const std::optional<uint32_t> length = Read(block, 0, 2);
  if (!length || *length > block.size() || *length < kFixedAt + kFixedBytes) return std::nullopt;
  if (Read(block, 2, 2) != kFixedBytes || block.substr(kKeyAt, kVersionKey.size()) != kVersionKey ||
      Read(block, kFixedAt, 4) != kFixedSignature) {
    return std::nullopt;
  }
  const uint32_t high = *Read(block, kFixedAt + kFileVersionAt, 4);
  const uint32_t low = *Read(block, kFixedAt + kFileVersionAt + 4, 4);
  return FileVersion{static_cast<uint16_t>(high >> 16), static_cast<uint16_t>(high),
                     static_cast<uint16_t>(low >> 16), static_cast<uint16_t>(low)};
}

}  // namespace

std::optional<FileVersion> ReadFileVersion(std::string_view program) {
  const std::optional<Image> image = Image::Open(program);
  const std::optional<std::string_view> block = image ? VersionResource(*image) : std::nullopt;
  return block ? FixedFileVersion(*block) : std::nullopt;
}

}  // namespace zv
