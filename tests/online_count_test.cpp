// The online count: the forum page as the viewer writes it, the cut between the markers, and
// 时钟3's waiting for the page.
#include <gtest/gtest.h>

#include "fake_world.h"
#include "online/markup_serialiser.h"
#include "online/online_count.h"

namespace zv {
namespace {

const std::string kStart = "</STRONG><SPAN class=xs1>- 总计 <STRONG>";
const std::string kEnd = "</STRONG> 人在线 - 最高记录是 <STRONG>";
// The forum's line as a real forum sends it: lower case, quoted attributes.
const std::string kForumLine =
    "<strong><a href=\"home.php?mod=space\">在线会员</a></strong><span class=\"xs1\">- 总计 "
    "<strong>123</strong> 人在线 - 最高记录是 <strong>456</strong>";

struct CutCase {
  std::string name, page, count;
};

class CutCountTest : public testing::TestWithParam<CutCase> {};

TEST_P(CutCountTest, TakesWhatStandsBetweenTheMarkers) {
  EXPECT_EQ(CutOnlineCount(GetParam().page), GetParam().count);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CutCountTest,
    testing::Values(CutCase{"plain", "x" + kStart + "123" + kEnd + "456", "123"},
                    CutCase{"firstStartWins", kStart + "1" + kEnd + kStart + "2" + kEnd, "1"},
                    CutCase{"noEnd", kStart + "123", ""},
                    CutCase{"endOnlyBefore", kEnd + "9" + kStart + "123", ""},
                    CutCase{"lowerCase",
                            "</strong><span class=xs1>- 总计 <strong>1" + kEnd, ""},
                    CutCase{"adjacent", kStart + kEnd, ""},
                    CutCase{"notTrimmedNorNumeric", kStart + " 1,2 人" + kEnd, " 1,2 人"},
                    CutCase{"empty", "", ""},
                    // 0xB5 followed by the start of the marker: the marker's '<' would be a
                    // trail byte, so this is no match.
                    CutCase{"misaligned", "\xB5" + kStart + "7" + kEnd, ""}),
    [](const auto& info) { return info.param.name; });

struct SerialiseCase {
  std::string name, html, written;
};

class SerialiserTest : public testing::TestWithParam<SerialiseCase> {};

TEST_P(SerialiserTest, WritesTheRootElementTheOldWay) {
  EXPECT_EQ(SerialiseRootElement(GetParam().html), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SerialiserTest,
    testing::Values(
        SerialiseCase{"forumLine", "<html><body>" + kForumLine + "</body></html>",
                      "<HTML><BODY><STRONG><A href=\"home.php?mod=space\">在线会员</A></STRONG>"
                      "<SPAN class=xs1>- 总计 <STRONG>123</STRONG> 人在线 - 最高记录是 "
                      "<STRONG>456</STRONG></BODY></HTML>"},
        SerialiseCase{"doctypeAndTrailerDropped",
                      "<!DOCTYPE html>\n<!-- c -->\n<html lang=\"zh\">x</html>\n<p>after",
                      "<HTML lang=zh>x</HTML>"},
        SerialiseCase{"valuesWithSpacesKeepQuotes", "<html><div id='online' class=\"bm oll\">",
                      "<HTML><DIV id=online class=\"bm oll\"></HTML>"},
        SerialiseCase{"attributeNamesAsWritten", "<html><td colSpan=2 NOWRAP>",
                      "<HTML><TD colSpan=2 NOWRAP></HTML>"},
        SerialiseCase{"selfClosingSlashDropped",
                      "<html><meta charset=\"gbk\" /><br/></html>",
                      "<HTML><META charset=gbk><BR></HTML>"},
        SerialiseCase{"emptyValueQuoted", "<html><a title=\"\">", "<HTML><A title=\"\"></HTML>"},
        SerialiseCase{"quoteInsideValue", "<html><a title='say \"hi\"'>",
                      "<HTML><A title=\"say &quot;hi&quot;\"></HTML>"},
        SerialiseCase{"noRootElement", "<p>a</p>", "<HTML><P>a</P></HTML>"},
        SerialiseCase{"strayLessThan", "<html>1 < 2 <3</html>", "<HTML>1 &lt; 2 &lt;3</HTML>"},
        SerialiseCase{"scriptContentIsRaw",
                      "<html><script>if (a<b) x='</div>';</script><b>t</b></html>",
                      "<HTML><SCRIPT>if (a<b) x='</div>';</SCRIPT><B>t</B></HTML>"},
        SerialiseCase{"commentInsideKept", "<html><!-- <b> --></html>",
                      "<HTML><!-- <b> --></HTML>"},
        SerialiseCase{"cutOffInsideTag", "<html><span class=\"xs", "<HTML><SPAN class=xs></HTML>"},
        // Cut-off pages: what is open is closed, so the root's end stays outside it.
        SerialiseCase{"unclosedScript", "<html><script>a</b>", "<HTML><SCRIPT>a</b></SCRIPT></HTML>"},
        SerialiseCase{"unclosedComment", "<html><!-- a<b>", "<HTML><!-- a<b>--></HTML>"},
        SerialiseCase{"slashEndsAName", "<html><a b/c=d>", "<HTML><A b c=d></HTML>"},
        SerialiseCase{"empty", "", ""},
        SerialiseCase{"onlyBlank", " \r\n", ""}),
    [](const auto& info) { return info.param.name; });

TEST(SerialiserTest, BundledForumPageGivesTheCount) {
  const std::string page =
      "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\">\r\n"
      "<html xmlns=\"http://www.w3.org/1999/xhtml\">\r\n<head>\r\n"
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\" />\r\n"
      "</head>\r\n<body id=\"nv_forum\">\r\n<div class=\"bm_h\"><h3>" + kForumLine +
      " 于 <strong>2013-8-8</strong>.</span></h3></div>\r\n</body>\r\n</html>\r\n";
  EXPECT_EQ(CutOnlineCount(SerialiseRootElement(page)), "123");
}

class OnlineCountTickTest : public testing::Test {
 protected:
  void Serve(const std::string& page) { world.http.Serve(SiteUrl("forum.php"), page); }
  FakeWorld world;
};

TEST_F(OnlineCountTickTest, BannerShowsTheCountFromTheForumPage) {
  Serve("<html><body>" + kForumLine + "</body></html>");
  const Form main = world.Start();
  EXPECT_EQ(main.Text("透明标签11"), "在线人数获取中......");
  world.ui.Advance(1);
  EXPECT_EQ(main.Text("透明标签11"), "（当前在线人数：123人）");
  EXPECT_EQ(main.Interval("时钟3"), 0);
  EXPECT_NE(main.Text("编辑框在线人数1").find(kStart), std::string::npos);
}

TEST_F(OnlineCountTickTest, UnreachableForumGivesAnEmptyCountAndNoMessage) {
  world.http.Unserve(SiteUrl("forum.php"));
  const Form main = world.Start();
  world.ui.Advance(1);
  EXPECT_EQ(main.Text("透明标签11"), "（当前在线人数：人）");
  EXPECT_EQ(main.Text("编辑框在线人数1"), "");
  EXPECT_TRUE(world.log.empty());
}

TEST_F(OnlineCountTickTest, WaitsForThePageThenReadsExactlyOnce) {
  Serve("<html>" + kForumLine + "</html>");
  world.http.Hold();
  const Form main = world.Start(/*waitForForumPage=*/false);
  world.ui.Advance(50);
  EXPECT_TRUE(world.app.ForumPage().Busy());
  EXPECT_EQ(main.Text("透明标签11"), "在线人数获取中......");
  EXPECT_EQ(main.Interval("时钟3"), 1);
  EXPECT_GE(world.ui.TickCount(main.Id(), "时钟3"), 50);

  world.http.Release();
  world.app.ForumPage().WaitUntilLoaded();
  const int ticksBefore = world.ui.TickCount(main.Id(), "时钟3");
  world.ui.Advance(20);
  EXPECT_EQ(world.ui.TickCount(main.Id(), "时钟3"), ticksBefore + 1);
  EXPECT_EQ(world.ui.TextHistory(main.Id(), "透明标签11"),
            std::vector<std::string>{"（当前在线人数：123人）"});
}

TEST_F(OnlineCountTickTest, PageIsLoadedOnceAndReadAgainEveryHundredBeats) {
  Serve("<html>" + kForumLine + "</html>");
  const Form main = world.Start();
  world.ui.Advance(1);
  Serve("<html>changed</html>");  // the viewer is not reloaded, so this is never seen
  world.ui.Advance(100 * 3000 + 1);
  EXPECT_EQ(world.ui.TextHistory(main.Id(), "透明标签11").size(), 2u);
  EXPECT_EQ(main.Text("透明标签11"), "（当前在线人数：123人）");
  const std::vector<std::string> fetched = world.http.Requests();
  EXPECT_EQ(std::count(fetched.begin(), fetched.end(), SiteUrl("forum.php")), 1);
}

// The same forum line written in UTF-8, as many forums send it.
const std::string kUtf8ForumLine =
    u8"<strong><a href=\"home.php?mod=space\">在线会员</a></strong><span class=\"xs1\">- 总计 "
    u8"<strong>123</strong> 人在线 - 最高记录是 <strong>456</strong>";
const std::string kMetaHttpEquivUtf8 =
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />";

std::string Junk(size_t size) {
  std::string junk;
  for (size_t i = 0; i < size; ++i) junk += static_cast<char>((i * 7919 + 13) % 256);
  return junk;
}

struct ServedPage {
  std::string name, contentType, page, count;
};

class ForumCharsetTest : public OnlineCountTickTest,
                         public testing::WithParamInterface<ServedPage> {};

TEST_P(ForumCharsetTest, BannerShowsTheCountWhateverTheCharacterSet) {
  world.http.Serve(SiteUrl("forum.php"), HttpResult{GetParam().page, true, GetParam().contentType});
  const Form main = world.Start();
  world.ui.Advance(1);
  EXPECT_EQ(main.Interval("时钟3"), 0);
  EXPECT_EQ(main.Text("透明标签11"), "（当前在线人数：" + GetParam().count + "人）");
}

INSTANTIATE_TEST_SUITE_P(
    Pages, ForumCharsetTest,
    testing::Values(
        ServedPage{"gbkByHeader", "text/html; charset=gbk",
                   "<html><head>" + kMetaHttpEquivUtf8 + "</head><body>" + kForumLine, "123"},
        ServedPage{"gbkByDefault", "", "<html><body>" + kForumLine, "123"},
        ServedPage{"utf8ByHeader", "text/html; charset=UTF-8", "<html><body>" + kUtf8ForumLine,
                   "123"},
        ServedPage{"utf8ByHeaderAndMeta", "text/html; charset=utf-8",
                   "<html><head>" + kMetaHttpEquivUtf8 + "</head><body>" + kUtf8ForumLine, "123"},
        ServedPage{"utf8ByMetaHttpEquiv", "text/html",
                   "<html><head>" + kMetaHttpEquivUtf8 + "</head><body>" + kUtf8ForumLine, "123"},
        ServedPage{"utf8ByMetaCharsetNoHeader", "",
                   "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" +
                       std::string(u8"论坛") + "</title></head><body>" + kUtf8ForumLine,
                   "123"},
        ServedPage{"utf8ByBom", "", "\xEF\xBB\xBF<html><body>" + kUtf8ForumLine, "123"},
        // Pages that claim UTF-8 and are not: the read ends normally and the banner shows what
        // could be cut, broken bytes marked.
        ServedPage{"binaryJunk", "text/html; charset=utf-8", Junk(4096), ""},
        ServedPage{"junkAfterBom", "", "\xEF\xBB\xBF" + Junk(4096), ""},
        ServedPage{"cutOffMidCharacter", "text/html; charset=utf-8",
                   "<html>" + kUtf8ForumLine.substr(0, kUtf8ForumLine.find(u8"在线 -") + 2), ""},
        ServedPage{"brokenCount", "text/html; charset=utf-8",
                   u8"<html><strong>x</strong><span class=\"xs1\">- 总计 <strong>\xFF\xC3</strong> "
                   u8"人在线 - 最高记录是 <strong>1</strong>",
                   "??"}),
    [](const auto& info) { return info.param.name; });

TEST_F(OnlineCountTickTest, ExitWhileThePageIsLoadingDoesNotWaitForTheSite) {
  world.http.Hold();
  world.Start(/*waitForForumPage=*/false);
  world.app.CleanUp().Run();  // cancels the fetch and joins the worker
  EXPECT_FALSE(world.app.ForumPage().Busy());
}

}  // namespace
}  // namespace zv
