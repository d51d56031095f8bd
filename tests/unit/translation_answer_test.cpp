#include "translation/translation_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace nimbrel;

namespace {

const std::string kStart = "<td bgcolor=white class=s><div style=padding:10px;>";
const std::string kEnd = "</div></td>";

TEST(TranslationAnswer, TextBetweenTheFirstStartAndTheFirstEndAfterIt) {
    struct Case {
        std::string body, result;
    };
    const std::vector<Case> cases = {
        {"<html>" + kStart + "Vent" + kEnd + "</html>", "Vent"},
        {kStart + kEnd, ""},
        {kStart + "no end <b>at all</b>\r\n", "no end <b>at all</b>\r\n"},
        {kStart, ""},
        {kStart + "one" + kEnd + kStart + "two" + kEnd, "one"},
        {kStart + "a" + kStart + "b" + kEnd + "c" + kEnd, "a" + kStart + "b"},
        {kEnd + "before" + kStart + "after" + kEnd, "after"},
        {kStart + "Humidit&eacute; <i>relative</i>\n" + kEnd, "Humidit&eacute; <i>relative</i>\n"},
        {std::string("\0x", 2) + kStart + std::string("a\0b", 3) + kEnd, std::string("a\0b", 3)},
    };
    for (const Case& c : cases) EXPECT_EQ(ExtractTranslation(c.body), c.result) << c.body;
}

TEST(TranslationAnswer, ResponseErrorWithoutTheStartMarker) {
    for (const std::string& body :
         {std::string(), std::string("<html>no translation</html>"), kEnd,
          kStart.substr(0, kStart.size() - 1) + "x" + kEnd,
          "<TD BGCOLOR=WHITE CLASS=S><DIV STYLE=PADDING:10PX;>x" + kEnd}) {
        EXPECT_EQ(ExtractTranslation(body), "response pb") << body;
    }
}

}  // namespace
