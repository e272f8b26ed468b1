#include "export/text_lines.h"

#include <gtest/gtest.h>

#include "export/text_pages.h"

namespace pravel {
namespace {

// The JSON lines of the table page: known words at known places, in 0.1 mm
// (2.6458 per reference pixel; 7 pixels per character).
TEST(TextLines, RunsComeOutWithTheirPlacesAndLooks) {
  const auto pages = test::TablePages();
  const std::string json = TextRunsJson(1, PageTexts(pages[0]));
  const std::string expected_starts[] = {
      R"({"page":1,"x":127,"y":127,"w":74,"h":33,"font":"Arial","size":8,"bold":false,"italic":false,"color":"#000000","text":"Item"})",
      // right-aligned at 384 px: from 363 px
      R"({"page":1,"x":960,"y":127,"w":56,)",
      // centred at 576 px: from 562 px
      R"({"page":1,"x":1487,"y":127,"w":74,)",
      R"({"page":1,"x":127,"y":190,"w":111,"h":33,"font":"Arial CE","size":8,"bold":false,"italic":false,"color":"#000000","text":"Zażółć"})",
      R"({"page":1,"x":979,"y":190,"w":37,)",
      R"(,"size":14,"bold":false,"italic":false,"color":"#FF0000","text":"say \"hi\", <b> & co"})",
  };
  std::size_t at = 0;
  for (const std::string& start : expected_starts) {
    const std::size_t end = json.find('\n', at);
    ASSERT_NE(end, std::string::npos) << start;
    const std::string line = json.substr(at, end - at);
    EXPECT_NE(line.find(start), std::string::npos) << line;
    at = end + 1;
  }
  EXPECT_EQ(at, json.size());
}

TEST(TextLines, ReadingOrderJoinsRunsOfALine) {
  const auto pages = test::TablePages();
  EXPECT_EQ(ReadingOrderText(PageTexts(pages[0])), "Item Qty Note\nZażółć 12 say \"hi\", <b> & co\n");
  EXPECT_EQ(ReadingOrderText(PageTexts(pages[1])), "Total 12\n");
}

TEST(TextLines, JsonEscapesControlsAndQuotes) { EXPECT_EQ(JsonEscaped("a\"b\\c\n\x01ż"), "a\\\"b\\\\c\\n\\u0001ż"); }

}  // namespace
}  // namespace pravel
