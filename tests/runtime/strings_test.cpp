#include "runtime/latin1.h"
#include "runtime/runtime_string.h"
#include "runtime/text_builder.h"
#include "runtime/text_functions.h"
#include "runtime/work_area.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// Runs a work-area appender and returns what it produced, leaving the position where it was.
template <class Appender> std::string produced(Appender appender)
{
    WorkAreaMark mark;
    appender();
    return std::string(mark.text());
}

TEST(WorkArea, GrowsByAtLeast16KiBAndKeepsArgumentsThatPointedIntoIt)
{
    // A small append past the first 16 bytes already grows by the full step.
    freeWorkArea();
    initWorkArea();
    appendToWorkArea("twenty bytes of text");
    EXPECT_GE(workAreaCapacity(), 16 + 16384);
    truncateWorkArea(0);

    int mark = workAreaPosition();
    appendToWorkArea("prefix:");
    // The argument lies inside the work area; the reservation below moves the buffer.
    const char* inside = workAreaAt(mark);
    int capacityBefore = workAreaCapacity();
    std::string big(20000, 'x');
    appendToWorkArea(big.c_str());
    EXPECT_GE(workAreaCapacity(), capacityBefore + 16384);

    int second = workAreaPosition();
    appendToWorkArea(workAreaAt(mark)); // copy of the whole text so far, from inside the buffer
    EXPECT_EQ(workAreaPosition() - second, 7 + 20000);

    String stored;
    storeFromWorkArea(stored, mark);
    EXPECT_EQ(workAreaPosition(), mark);
    std::string expected = "prefix:" + big + "prefix:" + big;
    EXPECT_EQ(std::string(stored.c_str()), expected);
    (void)inside;
}

TEST(WorkArea, NeverShrinksAndPositionReturnsToMark)
{
    {
        WorkText text(std::string(40000, 'a').c_str());
        EXPECT_EQ(text.length(), 40000);
    }
    int capacity = workAreaCapacity();
    int position = workAreaPosition();
    {
        WorkText small("abc");
        EXPECT_STREQ(small, "abc");
    }
    EXPECT_EQ(workAreaCapacity(), capacity);
    EXPECT_EQ(workAreaPosition(), position);
}

TEST(WorkArea, ArgumentInsideWorkAreaSurvivesGrowthInStringFunctions)
{
    // Each function gets a text from a fresh 16-byte work area and makes a result that does not
    // fit beside it, so reserving moves the buffer before the function reads its argument.
    struct Case {
        const char* name;
        void (*call)(const char* inside);
        const char* expected;
    };
    const Case cases[] = {
        { "toLowerText", [](const char* s) { toLowerText(s); }, "abcdef" },
        { "leftPart", [](const char* s) { leftPart(s, 5); }, "ABCde" },
        { "trimText", [](const char* s) { trimText(s, "A"); }, "BCdef" },
        { "replaceText", [](const char* s) { replaceText(s, "C", "cc"); }, "ABccdef" },
        { "fileNameOf", [](const char* s) { fileNameOf(s); }, "ABCdef" },
        { "appendToWorkArea", [](const char* s) { appendToWorkArea(s); }, "ABCdef" },
    };
    for (const Case& c : cases) {
        freeWorkArea();
        initWorkArea();
        ASSERT_EQ(workAreaCapacity(), 16);
        appendToWorkArea("ABCdef");
        const char* inside = workAreaAt(0);
        const auto baseBefore = reinterpret_cast<std::uintptr_t>(inside);
        reserveWorkArea(1, workAreaPosition()); // close the text past its NUL
        const int result = workAreaPosition();
        c.call(inside);
        EXPECT_NE(reinterpret_cast<std::uintptr_t>(workAreaAt(0)), baseBefore) << c.name << ": no move";
        EXPECT_STREQ(workAreaAt(result), c.expected) << c.name;
        truncateWorkArea(0);
    }
}

TEST(Strings, AssignmentFreeingAndComparison)
{
    String s;
    EXPECT_TRUE(s.isNone());
    EXPECT_STREQ(s.c_str(), "");
    EXPECT_EQ(assignString(s, "abc"), 4);
    EXPECT_STREQ(s, "abc");
    EXPECT_EQ(assignString(s, nullptr), 1);
    EXPECT_TRUE(s.isNone());

    EXPECT_EQ(stringsEqual(nullptr, ""), 1);
    EXPECT_EQ(stringsEqual("a", "a"), 1);
    EXPECT_EQ(stringsEqual("a", "b"), 0);
    EXPECT_EQ(stringGreater("b", "a"), 1);
    EXPECT_EQ(stringGreater("a", "a"), 0);
    EXPECT_EQ(stringGreater("ab", "a"), 1);
    EXPECT_EQ(stringGreater("", ""), 0);
    EXPECT_EQ(stringGreater("\xE4", "z"), 1); // bytes compare unsigned

    String copy;
    initStringCopy(copy, "xyz");
    EXPECT_STREQ(copy, "xyz");
    String none;
    initStringCopy(none, nullptr);
    EXPECT_TRUE(none.isNone());

    // Assigning a part of a string to itself.
    String self("hello world");
    assignString(self, self.c_str() + 6);
    EXPECT_STREQ(self, "world");
}

TEST(Strings, CompareByContentNotByAddress)
{
    const String a("a");
    const String none;
    EXPECT_TRUE(String("a") == String("a"));
    EXPECT_TRUE(String("a") == "a");
    EXPECT_TRUE("a" == String("a"));
    EXPECT_FALSE(String("a") != a);
    EXPECT_TRUE(a != String("b"));
    EXPECT_TRUE(a != "ab");
    EXPECT_TRUE("A" != a); // case matters
    EXPECT_TRUE(none == String(""));
    EXPECT_TRUE(none == "");
    EXPECT_TRUE("" == none);
    EXPECT_TRUE(a != none);
    const char* null = nullptr; // the empty text, as everywhere
    EXPECT_TRUE(none == null);
    EXPECT_TRUE(a != null);
    EXPECT_TRUE(String("\xE4") != String("\xC4"));
}

TEST(Strings, PackedTableWalkByAssignResult)
{
    static const char table[] = "en,de\0Start\0Start\0-1\0-1";
    String item;
    const char* cursor = table;
    std::string seen;
    for (int i = 0; i < 5; ++i) {
        cursor += assignString(item, cursor);
        seen += item.c_str();
        seen += '|';
    }
    EXPECT_EQ(seen, "en,de|Start|Start|-1|-1|");
}

TEST(TextFunctions, Search)
{
    EXPECT_EQ(searchText("abcabc", "c", 4), 6);
    EXPECT_EQ(searchText("abcabc", "c", 7), 0);
    EXPECT_EQ(searchText("abcabc", "c", 0), 3);
    EXPECT_EQ(searchText("abcabc", "c", -3), 3);
    EXPECT_EQ(searchText("abcabc", "c"), 3);
    EXPECT_EQ(searchText("abcabc", ""), 0);
    EXPECT_EQ(searchText(nullptr, "a"), 0);
    EXPECT_EQ(searchText("abcabc", "bca"), 2);
    EXPECT_EQ(searchText("abcabc", "abcabcd"), 0);
    EXPECT_EQ(searchText("ABC", "b"), 0); // case-sensitive
    EXPECT_EQ(textLength(nullptr), 0);
    EXPECT_EQ(textLength("abc"), 3);
}

TEST(TextFunctions, LeftLowerTrim)
{
    EXPECT_EQ(produced([] { leftPart("abc", 10); }), "abc");
    EXPECT_EQ(produced([] { leftPart("abc", -1); }), "");
    EXPECT_EQ(produced([] { leftPart("abc", 2); }), "ab");
    EXPECT_EQ(produced([] { toLowerText("AbC\xC4z"); }), "abc\xC4z"); // only ASCII letters change
    EXPECT_EQ(produced([] { toLowerText("@AZ[`az{"); }), "@az[`az{"); // both ends of A-Z, nothing beside
    EXPECT_EQ(produced([] { trimText(";;a;b;;", ";"); }), "a;b");
    EXPECT_EQ(produced([] { trimText(";;;", ";"); }), "");
    EXPECT_EQ(produced([] { trimText("  a b  "); }), "a b");
    EXPECT_EQ(produced([] { trimText("  a  ", ""); }), "  a  ");
    EXPECT_EQ(produced([] { trimText(nullptr); }), "");
}

TEST(TextFunctions, Replace)
{
    EXPECT_EQ(produced([] { replaceText("1234,56", ",", ".", 0, 1); }), "1234.56");
    EXPECT_EQ(produced([] { replaceText("1234,56", "", ".", 0, 1); }), "1234,56");
    EXPECT_EQ(produced([] { replaceText("aaaa", "aa", "b", 0, 1); }), "bb");
    EXPECT_EQ(produced([] { replaceText("a,b,c", ",", ";;", 0, 3); }), "a,b;;c");
    EXPECT_EQ(produced([] { replaceText("xAx", "a", "-", 0, 1); }), "xAx");
    EXPECT_EQ(produced([] { replaceText("xAx", "a", "-", REPLACE_IGNORE_CASE, 1); }), "x-x");
    EXPECT_EQ(produced([] { replaceText("AZ@[", "az", "-", REPLACE_IGNORE_CASE, 1); }), "-@[");
    EXPECT_EQ(produced([] { replaceText("@[", "`{", "-", REPLACE_IGNORE_CASE, 1); }), "@[");
    EXPECT_EQ(produced([] { replaceText("abc", "c", "", 0, -5); }), "ab");
    EXPECT_EQ(produced([] { replaceText("abc", "b", "x", 0, 99); }), "abc");
    EXPECT_EQ(produced([] { replaceText("abc", "c", "", 0, 4); }), "abc"); // start just past the end
}

TEST(TextFunctions, Paths)
{
    const char* path = "/Apps/Tool.app/Contents/MacOS/tool";
    EXPECT_EQ(produced([&] { fileNameOf(path); }), "tool");
    EXPECT_EQ(produced([&] { folderOf(path); }), "/Apps/Tool.app/Contents/MacOS/");
    EXPECT_EQ(produced([] { folderOf("tool"); }), "");
    EXPECT_EQ(produced([] { fileNameOf("tool"); }), "tool");
    EXPECT_EQ(produced([] { fileNameOf("\"/a b/c d\" -x"); }), "c d");
    EXPECT_EQ(produced([] { folderOf("\"/a b/c d\""); }), "/a b/");
    std::string exe = produced([] { executablePath(); });
    EXPECT_NE(exe.find("strings_test"), std::string::npos);
}

TEST(Latin1, RoundTripsThroughUtf8)
{
    EXPECT_EQ(latin1ToUtf8("Ursprung w\xE4hlen"), "Ursprung w\xC3\xA4hlen");
    EXPECT_EQ(produced([] { appendUtf8AsLatin1("H\xC3\xB6he"); }), "H\xF6he");
    // Conversion stops at the first character that ISO 8859-1 cannot hold (the euro sign).
    EXPECT_EQ(produced([] { appendUtf8AsLatin1("1 \xE2\x82\xAC and more"); }), "1 ");
    EXPECT_EQ(textToUtf16("\xFF"
                          "a"),
        std::u16string(u"\u00FFa"));
    EXPECT_EQ(latin1ToUtf8(nullptr), "");
}

} // namespace
