// How a fetched page's character set is decided (header, byte-order mark, meta tag) and what
// the page text keeps of the bytes; the conversion itself is the codec's, tested with it.
#include <gtest/gtest.h>

#include "online/page_charset.h"
#include "platform/fake/fake_text_codec.h"

namespace zv {
namespace {

constexpr auto kGbk = PageCharset::kGbk;
constexpr auto kUtf8 = PageCharset::kUtf8;
const std::string kBom = "\xEF\xBB\xBF";
const std::string kMetaUtf8 = "<meta charset=\"utf-8\">";

struct DetectCase {
  std::string name, contentType, page;
  PageCharset charset;
};

class DetectCharsetTest : public testing::TestWithParam<DetectCase> {};

TEST_P(DetectCharsetTest, DecidesLikeABrowser) {
  EXPECT_EQ(DetectPageCharset(GetParam().contentType, GetParam().page), GetParam().charset);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DetectCharsetTest,
    testing::Values(
        DetectCase{"nothingSaysAnything", "", "<html><body>x</body></html>", kGbk},
        DetectCase{"headerWithoutCharset", "text/html", "<html>", kGbk},
        DetectCase{"headerUtf8", "text/html; charset=utf-8", "<html>", kUtf8},
        DetectCase{"headerQuotedUpperCase", "text/html;Charset=\"UTF-8\"", "", kUtf8},
        DetectCase{"headerSpacedAlias", "text/html; charset = utf8 ; x=y", "", kUtf8},
        DetectCase{"headerGbkBeatsMeta", "text/html; charset=GBK", kMetaUtf8, kGbk},
        DetectCase{"headerGb2312BeatsMeta", "text/html; charset=gb2312", kMetaUtf8, kGbk},
        DetectCase{"headerGb18030BeatsMeta", "text/html; charset=gb18030", kMetaUtf8, kGbk},
        DetectCase{"headerXGbkBeatsMeta", "text/html; charset=x-gbk", kMetaUtf8, kGbk},
        DetectCase{"unknownHeaderNameGivesWayToMeta", "text/html; charset=klingon", kMetaUtf8,
                   kUtf8},
        DetectCase{"unknownNamesEverywhere", "text/html; charset=klingon",
                   "<meta charset=vulcan>", kGbk},
        DetectCase{"bomBeatsHeader", "text/html; charset=gbk", kBom + "<html>", kUtf8},
        DetectCase{"metaCharsetAnyCase", "", "<HTML><HEAD><META CharSet='UTF-8' />", kUtf8},
        DetectCase{"metaHttpEquiv", "text/html",
                   "<!DOCTYPE html>\r\n<html><head><meta http-equiv=\"Content-Type\" "
                   "content=\"text/html; charset=utf-8\" />",
                   kUtf8},
        DetectCase{"metaContentBeforeHttpEquiv", "",
                   "<meta content='text/html; charset=utf-8' http-equiv=content-type>", kUtf8},
        DetectCase{"metaContentWithoutHttpEquiv", "",
                   "<meta name=description content=\"text/html; charset=utf-8\">", kGbk},
        DetectCase{"firstKnownMetaWins", "", "<meta charset=gbk>" + kMetaUtf8, kGbk},
        DetectCase{"unknownMetaIsPassedOver", "", "<meta charset=x>" + kMetaUtf8, kUtf8},
        DetectCase{"metaInsideComment", "", "<!-- " + kMetaUtf8 + " --><p>", kGbk},
        DetectCase{"metaInsideAttributeValue", "", "<a title='" + kMetaUtf8 + "'>", kGbk},
        DetectCase{"metaPastTheFirst1024Bytes", "", std::string(1024, ' ') + kMetaUtf8, kGbk},
        DetectCase{"metaCutOff", "", "<meta charset=\"utf-", kGbk},
        DetectCase{"unclosedQuoteInHeader", "text/html; charset=\"utf-8", "", kGbk}),
    [](const auto& info) { return info.param.name; });

struct DecodeCase {
  std::string name;
  HttpResult answer;
  std::string gbk;
};

class PageAsGbkTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(PageAsGbkTest, GivesTheProgramsOwnText) {
  EXPECT_EQ(PageAsGbk(GetParam().answer, FakeTextCodec()), GetParam().gbk);
}

const std::string kUtf8Type = "text/html; charset=utf-8";

INSTANTIATE_TEST_SUITE_P(
    Table, PageAsGbkTest,
    testing::Values(
        DecodeCase{"bomDropped", {kBom + u8"总计", true, ""}, "总计"},
        DecodeCase{"gbkUntouched", {"<b>在线会员</b>\xFF", true, "text/html; charset=gbk"},
                   "<b>在线会员</b>\xFF"},
        DecodeCase{"zeroByteEndsThePage", {std::string(u8"总\0计", 7), true, kUtf8Type}, "总"},
        DecodeCase{"nothingArrived", {"", false, ""}, ""}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace zv
