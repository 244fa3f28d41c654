// The version reader against programs MinGW made with known versions, and against one of them
// damaged at the places the PE format documents, cut short, or changed the way code signing
// changes a program.
#include "online/file_version.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "case_name.h"
#include "test_programs.h"

namespace zv {
namespace {

using test::TestProgram;

std::string Text(const std::optional<FileVersion>& v) {
  if (!v) return "none";
  return std::to_string(v->major) + "." + std::to_string(v->minor) + "." +
         std::to_string(v->build) + "." + std::to_string(v->revision);
}

const std::string kVersionKey =
    std::string("V\0S\0_\0V\0E\0R\0S\0I\0O\0N\0_\0I\0N\0F\0O\0\0\0", 32);

struct ProgramCase {
  std::string name;
  std::string program;
  std::string version;
};

class FileVersionProgramTest : public testing::TestWithParam<ProgramCase> {};

TEST_P(FileVersionProgramTest, ReadsWhatTheResourceScriptSays) {
  const std::string program = TestProgram(GetParam().program);
  ASSERT_FALSE(program.empty());
  EXPECT_EQ(Text(ReadFileVersion(program)), GetParam().version);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FileVersionProgramTest,
    testing::Values(ProgramCase{"releaseScript", "release_7", "2.0.7.0"},
                    ProgramCase{"fileVersionNotProductVersion", "numbers", "1.2.65535.4"},
                    ProgramCase{"decoyAheadOfTheResource", "decoy", "2.0.3.0"},
                    ProgramCase{"noVersionResource", "no_version", "none"},
                    ProgramCase{"versionUnderAnotherNumber", "other_name", "none"},
                    ProgramCase{"twoLanguagesDisagreeing", "two_languages", "none"}),
    [](const auto& info) { return info.param.name; });

TEST(FileVersionTest, DecoyProgramHoldsTheKeyAndSignatureTwice) {
  // Otherwise the decoy row above would prove nothing about searching.
  const std::string program = TestProgram("decoy");
  const std::string signature = "\xBD\x04\xEF\xFE";
  int found = 0;
  for (size_t at = program.find(kVersionKey); at != std::string::npos;
       at = program.find(kVersionKey, at + 1)) {
    found += program.compare(at + 34, 4, signature) == 0 ? 1 : 0;
  }
  EXPECT_EQ(found, 2);
}

// Where the documented fields of the test program lie, found without the reader: the header
// pointer at 0x3C, the key by search (the program holds it once) and the resource section by
// its name.
struct Layout {
  explicit Layout(const std::string& program)
      : pe(Get32(program, 0x3C)),
        optional(pe + 24),
        block(program.find(kVersionKey) - 6),
        resourceSection(program.find(std::string(".rsrc\0\0\0", 8))) {}
  static uint32_t Get32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (size_t i = 4; i-- > 0;) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
    return value;
  }
  size_t pe, optional, block, resourceSection;
};

void Put(std::string& bytes, size_t at, uint32_t value, size_t size) {
  for (size_t i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

struct DamageCase {
  std::string name;
  std::function<void(std::string&, const Layout&)> damage;
  std::string version;
};

class FileVersionDamageTest : public testing::TestWithParam<DamageCase> {};

TEST_P(FileVersionDamageTest, ReadsTheVersionOnlyFromAnIntactWay) {
  std::string program = TestProgram("numbers");
  ASSERT_FALSE(program.empty());
  const Layout layout(program);
  ASSERT_NE(layout.resourceSection, std::string::npos);
  GetParam().damage(program, layout);
  EXPECT_EQ(Text(ReadFileVersion(program)), GetParam().version);
}

using L = const Layout&;
INSTANTIATE_TEST_SUITE_P(
    Table, FileVersionDamageTest,
    testing::Values(
        DamageCase{"notMz", [](std::string& p, L) { p[0] = 'N'; }, "none"},
        DamageCase{"newHeaderAtTheTopOfTheRange",
                   [](std::string& p, L) { Put(p, 0x3C, 0xFFFFFFFF, 4); }, "none"},
        DamageCase{"notPe", [](std::string& p, L l) { p[l.pe] = 'N'; }, "none"},
        DamageCase{"thirtyTwoBitHeader", [](std::string& p, L l) { Put(p, l.optional, 0x10B, 2); },
                   "none"},
        DamageCase{"twoDataDirectories",
                   [](std::string& p, L l) { Put(p, l.optional + 108, 2, 4); }, "none"},
        DamageCase{"sectionTablePastTheEnd",
                   [](std::string& p, L l) { Put(p, l.pe + 4 + 2, 0xFFFF, 2); }, "none"},
        DamageCase{"resourceOutsideEverySection",
                   [](std::string& p, L l) { Put(p, l.optional + 112 + 16, 0x7FFF0000, 4); },
                   "none"},
        DamageCase{"resourceSizeBelowOneDirectory",
                   [](std::string& p, L l) { Put(p, l.optional + 112 + 20, 8, 4); }, "none"},
        DamageCase{"sectionShorterInMemory",
                   [](std::string& p, L l) { Put(p, l.resourceSection + 8, 16, 4); }, "none"},
        DamageCase{"sectionDataPastTheEnd",
                   [](std::string& p, L l) {
                     Put(p, l.resourceSection + 20, static_cast<uint32_t>(p.size()), 4);
                   },
                   "none"},
        DamageCase{"keyMisspelt", [](std::string& p, L l) { p[l.block + 6 + 2 * 14] = 'P'; },
                   "none"},
        DamageCase{"fixedSignatureChanged", [](std::string& p, L l) { p[l.block + 40] ^= 1; },
                   "none"},
        DamageCase{"noFixedPart", [](std::string& p, L l) { Put(p, l.block + 2, 0, 2); }, "none"},
        DamageCase{"lengthPastTheResource", [](std::string& p, L l) { Put(p, l.block, 0xFFFF, 2); },
                   "none"},
        DamageCase{"lengthShortOfTheFixedPart",
                   [](std::string& p, L l) { Put(p, l.block, 40 + 52 - 1, 2); }, "none"},
        // What code signing changes: the header's checksum and certificate entry, and the
        // certificate appended after the image.
        DamageCase{"checksumRewritten",
                   [](std::string& p, L l) { Put(p, l.optional + 64, 0x12345678, 4); },
                   "1.2.65535.4"},
        DamageCase{"certificateAppended",
                   [](std::string& p, L l) {
                     Put(p, l.optional + 112 + 4 * 8, static_cast<uint32_t>(p.size()), 4);
                     Put(p, l.optional + 112 + 4 * 8 + 4, 5000, 4);
                     p += std::string(5000, '\xA5');
                   },
                   "1.2.65535.4"}),
    [](const auto& info) { return info.param.name; });

TEST(FileVersionTest, ProgramCutShortReadsNothingUntilTheWholeResourceIsThere) {
  const std::string program = TestProgram("numbers");
  const Layout layout(program);
  const size_t resourceEnd = layout.block + (static_cast<uint8_t>(program[layout.block]) |
                                             static_cast<uint8_t>(program[layout.block + 1]) << 8);
  ASSERT_LT(resourceEnd, program.size());
  for (size_t size = 0; size <= program.size(); ++size) {
    EXPECT_EQ(Text(ReadFileVersion(std::string_view(program).substr(0, size))),
              size < resourceEnd ? "none" : "1.2.65535.4")
        << size;
  }
}

}  // namespace
}  // namespace zv
