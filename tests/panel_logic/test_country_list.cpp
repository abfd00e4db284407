#include "panel/logic/CountryList.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace tvx {
namespace {

TEST(CountryList, CodeIsTheLeadingNumberOfTheText)
{
    struct Case {
        std::string text;
        int32_t code;
    };
    const Case cases[] = {
        {"44", 44},
        {"972", 972},
        {"0044", 44},
        {"1 United States", 1},
        {"  7", 7},
        {"\t\n12", 12},
        {"+33", 33},
        {"-5", -5},
        {"", 0},
        {"abc", 0},
        {"x44", 0},
        {"+", 0},
        {"- 5", 0},
        {"4 4", 4},
        {std::string("81\0"
                     "99",
                     5),
         81},
        {"2147483647", std::numeric_limits<int32_t>::max()},
        {"2147483648", std::numeric_limits<int32_t>::max()},
        {"99999999999999999999999", std::numeric_limits<int32_t>::max()},
        {"-2147483648", std::numeric_limits<int32_t>::min()},
        {"-99999999999999999999999", std::numeric_limits<int32_t>::min()},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CountryCodeOf(c.text), c.code) << '"' << c.text << '"';
}

TEST(CountryList, ItemTextPutsTheCodeInBracketsBehindTheName)
{
    EXPECT_EQ(CountryItemText("United Kingdom", "44"), "United Kingdom [ 44 ]");
    EXPECT_EQ(CountryItemText("", ""), " [  ]");
}

TEST(CountryList, TextsCompareWithoutCaseAndWithAccentsFolded)
{
    struct Case {
        const char *a;
        const char *b;
        int order;
    };
    const Case cases[] = {
        {"Albania", "Algeria", -1},
        {"albania", "Algeria", -1},
        {"ALGERIA", "albania", 1},
        {"Chad", "Chile", -1},
        {"\xC5land Islands", "Albania", -1},  // Åland
        {"R\xE9union", "Romania", -1},        // Réunion
        {"Cura\xE7"
         "ao",
         "Cyprus",
         -1},                           // Curaçao
        {"Oman", "\xD6sterreich", -1},  // Österreich
        {"Niger", "Nigeria", -1},
        {"Niger [ 227 ]", "Nigeria [ 234 ]", -1},  // blank after the name sorts before a letter
        {"Same", "Same", 0},
        {"SAME", "same", -1},  // letters alike: the bytes decide
        {"Peru", "P\xE9ru", -1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        const int forward = CompareCountryTexts(c.a, c.b);
        const int backward = CompareCountryTexts(c.b, c.a);
        EXPECT_EQ(forward, c.order);
        EXPECT_EQ(backward, -c.order);
    }
}

TEST(CountryList, ItemsAreSortedByTextWithTheCodeAsData)
{
    struct Case {
        const char *name;
        std::vector<CountryEntry> entries;
        std::vector<CountryItem> items;
    };
    const std::string longName(300, 'N');
    const std::string longCode(255, '9');
    const Case cases[] = {
        {"three in source order",
         {{"44", "United Kingdom"}, {"972", "Israel"}, {"1", "Canada"}},
         {{"Canada [ 1 ]", 1}, {"Israel [ 972 ]", 972}, {"United Kingdom [ 44 ]", 44}}},
        {"empty", {}, {}},
        {"one", {{"44", "United Kingdom"}}, {{"United Kingdom [ 44 ]", 44}}},
        {"code text without digits", {{"x1", "Nowhere"}}, {{"Nowhere [ x1 ]", 0}}},
        {"duplicates all stay, the code text ordering them",
         {{"7", "Russia"}, {"007", "Russia"}, {"7", "Russia"}},
         {{"Russia [ 007 ]", 7}, {"Russia [ 7 ]", 7}, {"Russia [ 7 ]", 7}}},
        {"accented names among plain ones",
         {{"40", "Romania"}, {"262", "R\xE9union"}, {"7", "Russia"}},
         {{"R\xE9union [ 262 ]", 262}, {"Romania [ 40 ]", 40}, {"Russia [ 7 ]", 7}}},
        {"a name longer than its buffer is cut", {{"5", longName}}, {{std::string(254, 'N') + " [ 5 ]", 5}}},
        {"a NUL ends the name", {{"5", std::string("Abc\0def", 7)}}, {{"Abc [ 5 ]", 5}}},
        {"a code text longer than its buffer ends the list",
         {{"44", "United Kingdom"}, {longCode, "Too Long"}, {"1", "Canada"}},
         {{"United Kingdom [ 44 ]", 44}}},
        {"a code text of 254 characters is taken",
         {{std::string(254, '1'), "Long"}},
         {{"Long [ " + std::string(254, '1') + " ]", std::numeric_limits<int32_t>::max()}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<CountryItem> items = CountryItemsOf(c.entries);
        ASSERT_EQ(items.size(), c.items.size());
        for (size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i].text, c.items[i].text) << i;
            EXPECT_EQ(items[i].code, c.items[i].code) << i;
        }
    }
}

}  // namespace
}  // namespace tvx
