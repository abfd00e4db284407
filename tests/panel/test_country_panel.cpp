// The country lists: filling from a source, selecting the library's
// countries, sending the user's choice; the default source of calling codes.
#include "panel/CountryPanel.h"
#include "panel/PhoneNumberCountries.h"
#include "tests/panel/PanelHost.h"
#include "tests/support/MainDialogFixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QTest>

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tvx::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class FixtureSource final : public CountrySource {
public:
    explicit FixtureSource(std::optional<std::vector<CountryEntry>> countries) : countries_(std::move(countries)) {}
    std::optional<std::vector<CountryEntry>> Countries() override { return countries_; }

private:
    std::optional<std::vector<CountryEntry>> countries_;
};

std::shared_ptr<CountrySource> Source(std::optional<std::vector<CountryEntry>> countries)
{
    return std::make_shared<FixtureSource>(std::move(countries));
}

const std::vector<CountryEntry> kThree = {{"44", "United Kingdom"}, {"972", "Israel"}, {"1", "Canada"}};

struct Item {
    std::string text;
    int code;
    bool operator==(const Item &) const = default;
};
void PrintTo(const Item &item, std::ostream *out) { *out << '"' << item.text << "\" " << item.code; }

std::vector<Item> Items(const QComboBox *list)
{
    std::vector<Item> items;
    for (int i = 0; i < list->count(); ++i)
        items.push_back({list->itemText(i).toStdString(), list->itemData(i).toInt()});
    return items;
}

class CountryDialogTest : public MainDialogTest {
protected:
    QComboBox *Local() { return Control<QComboBox>(1081); }
    QComboBox *Destination() { return Control<QComboBox>(1084); }
};

TEST_F(CountryDialogTest, TheOpenFillsBothListsSortedAndSelectsTheLibrarysCountries)
{
    seams_.countries = Source(kThree);
    stub::Configure().localCountry = "44";
    stub::Configure().destinationCountry = "1";
    Create();
    const std::vector<Item> sorted = {{"Canada [ 1 ]", 1}, {"Israel [ 972 ]", 972}, {"United Kingdom [ 44 ]", 44}};
    EXPECT_EQ(Items(Local()), sorted);
    EXPECT_EQ(Items(Destination()), sorted);
    EXPECT_EQ(Local()->currentText(), "United Kingdom [ 44 ]");
    EXPECT_EQ(Destination()->currentText(), "Canada [ 1 ]");
    EXPECT_THAT(
        stub::CallTexts({"ScMonitorTones",
                         "ScGetLocalCountry",
                         "ScGetDestinationCountry",
                         "ScSetLocalCountry",
                         "ScSetDestinationCountry"}),
        ElementsAre("ScMonitorTones(ptr, 1, 16)", "ScGetLocalCountry(ptr, 0)", "ScGetDestinationCountry(ptr, 0)"))
        << "selecting at the open sends nothing";
}

TEST_F(CountryDialogTest, ACodeNoItemCarriesLeavesTheListUnselected)
{
    seams_.countries = Source(kThree);
    stub::Configure().localCountry = "999";
    stub::Configure().destinationCountry = "972 ";
    Create();
    EXPECT_EQ(Local()->currentIndex(), -1);
    EXPECT_EQ(Destination()->currentText(), "Israel [ 972 ]");
}

TEST_F(CountryDialogTest, AFailedOpenLeavesTheListsEmpty)
{
    seams_.countries = Source(kThree);
    stub::Configure().openResult = 2;
    Create();
    EXPECT_EQ(Local()->count(), 0);
    EXPECT_EQ(Destination()->count(), 0);
    EXPECT_EQ(stub::CountOf("ScGetLocalCountry"), 0);
}

TEST_F(CountryDialogTest, EachChoiceIsSentAtOnce)
{
    seams_.countries = Source(kThree);
    Create();
    Dialog().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Dialog()));
    stub::ClearCalls();

    Destination()->setCurrentIndex(0);
    QTest::keyClick(Destination(), Qt::Key_Down);  // Israel
    EXPECT_THAT(stub::CallTexts(), ElementsAre("ScSetDestinationCountry(0, \"972\")"));

    stub::ClearCalls();
    Local()->setCurrentIndex(2);
    QTest::keyClick(Local(), Qt::Key_Up);  // Israel
    QTest::keyClick(Local(), Qt::Key_Up);  // Canada
    EXPECT_THAT(stub::CallTexts(), ElementsAre("ScSetLocalCountry(0, \"972\")", "ScSetLocalCountry(0, \"1\")"));
    EXPECT_EQ(Local()->currentText(), "Canada [ 1 ]");

    // The open list: each country passed goes at once, Enter adds nothing.
    stub::ClearCalls();
    Local()->showPopup();
    QTest::keyClick(Local()->view(), Qt::Key_Down);  // Israel
    QTest::keyClick(Local()->view(), Qt::Key_Down);  // United Kingdom
    QTest::keyClick(Local()->view(), Qt::Key_Return);
    EXPECT_THAT(stub::CallTexts(), ElementsAre("ScSetLocalCountry(0, \"972\")", "ScSetLocalCountry(0, \"44\")"));
}

TEST_F(CountryDialogTest, ReopeningLeavesEachCountryOnceInEachList)
{
    seams_.countries = Source(kThree);
    Create();
    Choose(32826);
    Choose(32826);
    Choose(32826);
    Choose(32826);
    EXPECT_EQ(Local()->count(), 3);
    EXPECT_EQ(Destination()->count(), 3);
    EXPECT_EQ(Local()->currentText(), "United Kingdom [ 44 ]");
}

// The part on its own, for the results of its operations.
using CountryPartTest = PanelPartTest;

TEST_F(CountryPartTest, FillAndSelectResults)
{
    struct Case {
        const char *name;
        std::optional<std::vector<CountryEntry>> countries;
        int32_t fill;
        size_t items;
        const char *select;
        int32_t selected;
    };
    const Case cases[] = {
        {"three countries", kThree, 0, 3, "44", 0},
        {"code with text behind it", kThree, 0, 3, "972abc", 0},
        {"unknown code", kThree, 0, 3, "33", -2},
        {"no digits", kThree, 0, 3, "x44", -2},
        {"empty source", std::vector<CountryEntry>{}, 0, 0, "44", -2},
        {"failing source", std::nullopt, -4, 0, "44", -2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PanelHost host;
        CountryPanel panel(host.Controls(), host.Session(), Source(c.countries));
        stub::ClearCalls();
        QComboBox *list = panel.LocalList();
        list->addItem("stale [ 44 ]", 44);
        EXPECT_EQ(panel.FillCountryList(list), c.fill);
        EXPECT_EQ(static_cast<size_t>(list->count()), c.items) << "the list is emptied first";
        EXPECT_EQ(panel.SelectCountry(c.select, list), c.selected);
        if (c.selected == 0) {
            EXPECT_EQ(list->itemData(list->currentIndex()).toInt(), CountryCodeOf(c.select));
        }
        EXPECT_THAT(stub::Calls(), IsEmpty()) << "filling and selecting send nothing";
    }
}

TEST_F(CountryPartTest, ANotFoundCodeKeepsTheSelectionItHad)
{
    PanelHost host;
    CountryPanel panel(host.Controls(), host.Session(), Source(kThree));
    QComboBox *list = panel.DestinationList();
    panel.FillCountryList(list);
    ASSERT_EQ(panel.SelectCountry("972", list), 0);
    EXPECT_EQ(panel.SelectCountry("7", list), -2);
    EXPECT_EQ(list->currentText(), "Israel [ 972 ]");
}

TEST_F(CountryPartTest, NoSelectionSendsNothing)
{
    PanelHost host;
    CountryPanel panel(host.Controls(), host.Session(), Source(kThree));
    panel.FillCountryList(panel.LocalList());
    panel.LocalList()->setCurrentIndex(-1);
    EXPECT_TRUE(host.Command(1081, kSelectionChange));
    EXPECT_THAT(stub::Calls(), IsEmpty());
    panel.LocalList()->setCurrentIndex(1);
    EXPECT_TRUE(host.Command(1081, kSelectionChange));
    EXPECT_TRUE(host.Command(1084, kSelectionChange));  // the destination list is empty
    EXPECT_THAT(stub::CallTexts(), ElementsAre("ScSetLocalCountry(0, \"972\")"));
}

// The default source: every calling code once, named in English after its
// main country, the list sorted by name.
TEST(PhoneNumberCountriesTest, EveryCallingCodeOnceUnderItsMainCountry)
{
    PhoneNumberCountries source;
    const std::optional<std::vector<CountryEntry>> countries = source.Countries();
    ASSERT_TRUE(countries.has_value());
    ASSERT_GT(countries->size(), 200u);
    std::set<std::string> codes;
    for (const CountryEntry &entry : *countries) {
        EXPECT_TRUE(codes.insert(entry.code).second) << "code " << entry.code << " twice";
        EXPECT_FALSE(entry.name.empty()) << entry.code;
        EXPECT_EQ(std::to_string(CountryCodeOf(entry.code)), entry.code);
    }
    const std::vector<CountryItem> items = CountryItemsOf(*countries);
    auto has = [&](const char *text, int32_t code) {
        for (const CountryItem &item : items)
            if (item.text == text)
                return item.code == code;
        return false;
    };
    EXPECT_TRUE(has("United Kingdom [ 44 ]", 44));
    EXPECT_TRUE(has("United States [ 1 ]", 1));
    EXPECT_TRUE(has("Russia [ 7 ]", 7));
    EXPECT_TRUE(has("Israel [ 972 ]", 972));
    EXPECT_TRUE(has("Germany [ 49 ]", 49));
    EXPECT_EQ(source.Countries()->size(), countries->size()) << "the same list at the next open";
}

TEST_F(CountryDialogTest, TheDefaultSourceFillsTheListsWithCallingCodes)
{
    stub::Configure().localCountry = "44";
    stub::Configure().destinationCountry = "49";
    Create();
    EXPECT_GT(Local()->count(), 200);
    EXPECT_EQ(Local()->count(), Destination()->count());
    EXPECT_EQ(Local()->currentText(), "United Kingdom [ 44 ]");
    EXPECT_EQ(Destination()->currentText(), "Germany [ 49 ]");
    for (int i = 1; i < Local()->count(); ++i)
        EXPECT_LE(CompareCountryTexts(Local()->itemText(i - 1).toStdString(), Local()->itemText(i).toStdString()), 0)
            << i;
}

}  // namespace
}  // namespace tvx::test
