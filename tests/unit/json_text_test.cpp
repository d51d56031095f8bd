#include "json_events.h"
#include "json_text.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace nimbrel::host;

TEST(JsonText, BytesBecomeCodePointsOfTheSameValue) {
    EXPECT_EQ(JsonString(std::string("59\xB0 F")), "\"59\xC2\xB0 F\"");
    EXPECT_EQ(JsonString(std::string("\xFF\x80")), "\"\xC3\xBF\xC2\x80\"");
    EXPECT_EQ(JsonString(std::string("plain")), "\"plain\"");
}

TEST(JsonText, ControlCharactersQuotesAndBackslashesAreEscaped) {
    EXPECT_EQ(JsonString(std::string("a\"b\\c")), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(JsonString(std::string("\r\n\t")), "\"\\r\\n\\t\"");
    EXPECT_EQ(JsonString(std::string("\x12speak", 6)), "\"\\u0012speak\"");
    EXPECT_EQ(JsonString(std::string("a\0b", 3)), "\"a\\u0000b\"");
}

TEST(JsonText, Utf16IsWrittenAsUtf8WithSurrogatePairsJoined) {
    EXPECT_EQ(JsonString(std::u16string(u"caf\u00E9 \u20AC")), "\"caf\xC3\xA9 \xE2\x82\xAC\"");
    EXPECT_EQ(JsonString(std::u16string(u"\U0001F600")), "\"\xF0\x9F\x98\x80\"");
    // A lone surrogate cannot be UTF-8: it stays an escape.
    EXPECT_EQ(JsonString(std::u16string(1, char16_t(0xD800))), "\"\\uD800\"");
}

TEST(JsonEvents, OneObjectPerLineWithNullForUntouchedTexts) {
    std::ostringstream out;
    JsonEventWriter writer(out);
    LoadedEvent loaded;
    loaded.name = "P";
    loaded.commands.push_back({"xa", "A ", std::string("X")});
    loaded.commands.push_back({"xb", "B", std::nullopt});
    writer.OnLoaded(loaded);
    CommandEvent command;
    command.line = "/xa 1";
    command.word = "/xa";
    command.params = "1";
    command.result = 1;
    command.ms = 1.5;
    writer.OnCommand(command);
    ToastEvent toast;
    toast.title = "T";
    toast.wide = true;
    toast.wideMessage = u"w";
    toast.flag = -1;
    writer.OnToast(toast);
    EXPECT_EQ(out.str(),
              "{\"event\":\"loaded\",\"name\":\"P\",\"commands\":[{\"command\":\"xa\",\"description\":\"A \","
              "\"parameter\":\"X\"},{\"command\":\"xb\",\"description\":\"B\",\"parameter\":null}],\"tags\":0}\n"
              "{\"event\":\"command\",\"line\":\"/xa 1\",\"word\":\"/xa\",\"params\":\"1\",\"result\":1,"
              "\"output\":null,\"ms\":1.500}\n"
              "{\"event\":\"toast\",\"title\":\"T\",\"message\":\"w\",\"link\":null,\"flag\":-1,\"wide\":true}\n");
}
