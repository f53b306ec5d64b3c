#include "catalogue/TextScan.h"

#include <gtest/gtest.h>

#include "catalogue/PackName.h"

TEST(ScanFields, CharacterTakesWhateverComesAndBlanksSkipRuns) {
    char a = 0, b = 0;
    int32_t n = 0;
    EXPECT_EQ(ScanFields(" V   -42", "%c %c %d", {&a, &b, &n}), 3);
    EXPECT_EQ(a, ' ');
    EXPECT_EQ(b, 'V');
    EXPECT_EQ(n, -42);
    char c = 0;
    int32_t m = 7;
    EXPECT_EQ(ScanFields("A B", "%c %c %d", {&c, &c, &m}), 2);
    EXPECT_EQ(c, 'B');
    EXPECT_EQ(m, 7);
}

TEST(ScanFields, StopsAtTheFirstMismatchAndKeepsLaterTargets) {
    int32_t x = 1, y = 2, z = 3;
    EXPECT_EQ(ScanFields("10 oops 30", "%d %d %d", {&x, &y, &z}), 1);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 2);
    EXPECT_EQ(z, 3);
    EXPECT_EQ(ScanFields("", "%d", {&x}), 0);
    EXPECT_EQ(ScanFields(nullptr, "%d", {&x}), 0);
    // Huge numbers saturate.
    EXPECT_EQ(ScanFields("99999999999999999999 -99999999999999999999", "%d %d", {&x, &y}), 2);
    EXPECT_EQ(x, INT32_MAX);
    EXPECT_EQ(y, INT32_MIN);
}

TEST(ScanFields, LiteralsMustMatchAndOnlyCharactersAndNumbersAreRead) {
    const struct {
        const char *line, *format;
        int stored;
        char c;
        int32_t n;
    } cases[] = {
        {"x=5", "x=%d", 1, '?', 5},
        {"y=5", "x=%d", 0, '?', -1},
        {"x5", "x=%d", 0, '?', -1},
        {"x=+7", "x=%d", 1, '?', 7},
        {"x=-", "x=%d", 0, '?', -1},
        {"x=2147483648", "x=%d", 1, '?', INT32_MAX},
        {"x=-2147483648", "x=%d", 1, '?', INT32_MIN},
        {"Q 4", "%c%d", 2, 'Q', 4},
        {"", "%c%d", 0, '?', -1},
        {"Q 4", "%c%s", 1, 'Q', -1},
        {"Q 4", "%c %x", 1, 'Q', -1},
        {"Q\t\n 9", "%c %d", 2, 'Q', 9},
        {"Q\r\v\f 9", "%c %d", 2, 'Q', 9},
        {"  12", "%d", 1, '?', 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.line) + " / " + c.format);
        char ch = '?';
        int32_t n = -1;
        const bool characterFirst = c.format[0] == '%' && c.format[1] == 'c';
        const int stored = characterFirst ? ScanFields(c.line, c.format, {&ch, &n})
                                          : ScanFields(c.line, c.format, {&n});
        EXPECT_EQ(stored, c.stored);
        EXPECT_EQ(ch, c.c);
        EXPECT_EQ(n, c.n);
    }
    // More fields than targets: reading stops at the first one without a target.
    int32_t only = 0;
    char one = 0;
    EXPECT_EQ(ScanFields("1 2", "%d %d", {&only}), 1);
    EXPECT_EQ(ScanFields("ab", "%c%c", {&one}), 1);
    EXPECT_EQ(one, 'a');
    EXPECT_EQ(ScanFields("1", nullptr, {&only}), 0);
}

TEST(ReadNumberList, ReadsUpToTheLimitAndStopsAtText) {
    int32_t out[4] = {9, 9, 9, 9};
    EXPECT_EQ(ReadNumberList("1 2 3 4 5 6", out, 3), 3);
    EXPECT_EQ(out[2], 3);
    EXPECT_EQ(out[3], 9);
    EXPECT_EQ(ReadNumberList("  7 x 8", out, 4), 1);
    EXPECT_EQ(out[0], 7);
    EXPECT_EQ(ReadNumberList("*", out, 4), 0);
    EXPECT_EQ(ReadNumberList(nullptr, out, 4), 0);
    EXPECT_EQ(ReadNumberList("5", nullptr, 4), 0);
    // A number glued to text is the last one read.
    int32_t glued[4] = {0, 0, 0, 0};
    EXPECT_EQ(ReadNumberList("4 12abc 6", glued, 4), 2);
    EXPECT_EQ(glued[1], 12);
    EXPECT_EQ(glued[2], 0);
    EXPECT_EQ(ReadNumberList("-3\t+8\n", glued, 4), 2);
    EXPECT_EQ(glued[0], -3);
    EXPECT_EQ(glued[1], 8);
}

TEST(FormatText, TakesTextsOnlyWhereTheCallGivesThem) {
    EXPECT_EQ(FormatText("Replace %s with %s?", {"old", "%n%s"}), "Replace old with %n%s?");
    EXPECT_EQ(FormatText("%-4s|%3d", {"ab", 7}), "ab  |  7");
    // A conversion whose argument is of the other kind, or missing, stays as written.
    EXPECT_EQ(FormatText("%s %d", {3}), "%s 3");
    EXPECT_EQ(FormatText("%d %s", {"x"}), "%d x");
    EXPECT_EQ(FormatText("%s", {}), "%s");
}

TEST(FormatIntegers, FormatsIntegersAndLeavesEverythingElseAlone) {
    EXPECT_EQ(FormatIntegers("%d/%03d %x %%", {5, 7, 255}), "5/007 ff %");
    EXPECT_EQ(FormatIntegers("%s %n %f %d", {42}), "%s %n %f 42");
    EXPECT_EQ(FormatIntegers("%d %d", {1}), "1 0");
    EXPECT_EQ(FormatIntegers("%99999d", {1}).size(), 64u);
    EXPECT_EQ(FormatIntegers("tail %", {}), "tail %");
    // A precision of zero prints nothing of a zero.
    EXPECT_EQ(FormatIntegers("[%.0d]", {0}), "[]");
    const struct {
        const char* format;
        std::string out;
    } cases[] = {
        {"%5.3d|", "  009|"},
        {"%.0d|", "9|"},
        {"%-3d|", "9  |"},
        {"%+d", "+9"},
        {"%ld %hd", "9 -4"},
        {"%#o", "011"},
        {"%X", "9"},
        {"%c", "\t"},
        {"%i%u", "94294967292"},
        {"%q%d", "%q9"},
        {"%.99999d", std::string(63, '0') + "9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(FormatIntegers(c.format, {9, -4}), c.out);
    }
}

TEST(PackNameAndDigitValue, LettersAndSeparatorFillInAndNonDigitsAreZero) {
    EXPECT_EQ(PackName("7a0R%cC%cX99s999.msp", 'V', 'a'), "7a0RVCaX99s999.msp");
    EXPECT_EQ(PackName("7a0u%s7a0uxn%cx00s000.msp", 'q'), "7a0u\\7a0uxnqx00s000.msp");
    // Non-digits are worth zero.
    EXPECT_EQ(DigitValue('7'), 7);
    EXPECT_EQ(DigitValue('9'), 9);
    EXPECT_EQ(DigitValue(' '), 0);
    EXPECT_EQ(DigitValue('x'), 0);
}
