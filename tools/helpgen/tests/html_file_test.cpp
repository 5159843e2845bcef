// The HTML page: text shows as written, jumps are links to their topic's
// anchor, list entries are real lists that open and close where they should.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "html_file.h"
#include "topic_source.h"

namespace {

// A page of topic 1 with this body, and topic 2 for its jumps to lead to.
std::string page_of(const std::string& body, const std::string& title = "Fish & chips") {
  return helpgen::build_help_page({helpgen::parse_topic("context: 1\ntitle: " + title + "\n\n" + body, "t1.txt"),
                                   helpgen::parse_topic("context: 2\ntitle: Next\n\nText.\n", "t2.txt")},
                                  "Tom's <Help>");
}

bool printable_ascii(const std::string& s) {
  for (char c : s)
    if (c != '\n' && (c < 0x20 || c > 0x7E)) return false;
  return true;
}

}  // namespace

TEST(HtmlFile, EachKindOfBlockBecomesItsElement) {
  const std::pair<const char*, const char*> rows[] = {
      {"Free < used & \"all\" > 'none'\n", "<p>Free &lt; used &amp; &quot;all&quot; &gt; &#39;none&#39;</p>\n"},
      {"See [the <next> one](2) &\nso on.\n",
       "<p>See <a href=\"#topic-2\">the &lt;next&gt; one</a> &amp; so on.</p>\n"},
      {"# About [the next](2)\n", "<h3>About <a href=\"#topic-2\">the next</a></h3>\n"},
      {"- one\n- [two](2)\n", "<ul>\n<li>one</li>\n<li><a href=\"#topic-2\">two</a></li>\n</ul>\n</section>\n"},
      {"10. ten\n11. eleven\n    goes on\n",
       "<ol>\n<li value=\"10\">ten</li>\n<li value=\"11\">eleven goes on</li>\n</ol>\n"},
      {"- a bullet\n1. a step\n", "<ul>\n<li>a bullet</li>\n</ul>\n<ol>\n<li value=\"1\">a step</li>\n</ol>\n"},
      {"1. a step\n\n- a bullet\n", "<ol>\n<li value=\"1\">a step</li>\n</ol>\n<ul>\n<li>a bullet</li>\n</ul>\n"},
      {"- last\n\nthen text\n", "<li>last</li>\n</ul>\n<p>then text</p>\n"},
      {"  1   2\n  <dir> & x\n", "<pre>1   2\n&lt;dir&gt; &amp; x</pre>\n"},
      {"Text.\n", "<title>Tom&#39;s &lt;Help&gt;</title>\n"},
      {"Text.\n", "<section id=\"topic-1\">\n<h2>Fish &amp; chips</h2>\n<p>Text.</p>\n</section>\n"},
  };
  for (const auto& [body, html] : rows) {
    const std::string page = page_of(body);
    EXPECT_NE(page.find(html), std::string::npos) << body << "\n--- page:\n" << page;
    EXPECT_TRUE(printable_ascii(page)) << body;  // the sources' bullet is a byte of the Windows code page
  }
}

// A link must lead to exactly one topic.
TEST(HtmlFile, RefusesLinksToNoTopicAndAnchorsUsedTwice) {
  const std::pair<std::vector<std::string>, const char*> rows[] = {
      {{"context: 1\ntitle: A\n\nSee [nowhere](3).\n"}, "t1.txt: jump to context 3, which no topic has"},
      {{"context: 2\ntitle: A\n", "context: 2\ntitle: B\n"}, "t2.txt: context 2 is also used by t1.txt"},
      {{}, "no topics"},
      {{"context: 1\ntitle: A\n\nSee [B](2).\n", "context: 2\ntitle: B\n"}, "accepted"},
  };
  for (const auto& [sources, error] : rows) {
    std::string what = "accepted";
    try {
      std::vector<helpgen::Topic> topics;
      for (const std::string& s : sources)
        topics.push_back(helpgen::parse_topic(s, "t" + std::to_string(topics.size() + 1) + ".txt"));
      helpgen::build_help_page(topics, "T");
    } catch (const std::runtime_error& e) {
      what = e.what();
    }
    EXPECT_EQ(what, error);
  }
}
