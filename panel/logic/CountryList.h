// The country lists of the dial group: where the (code, name) pairs come
// from, how a pair becomes a list item, the order of the items and how a
// country text from the library becomes a code.
//
// Pure: no Qt, no device calls. The functions may be used from any thread;
// the dialog uses them on the UI thread.
#ifndef TVX_PANEL_LOGIC_COUNTRYLIST_H
#define TVX_PANEL_LOGIC_COUNTRYLIST_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tvx {

// Result of filling a list whose source cannot be read.
inline constexpr int32_t kCountryListUnreadable = -4;
// Result of selecting a code that no item carries.
inline constexpr int32_t kCountryNotFound = -2;

// Longest code text and name taken from a source: the 255-byte read buffers
// less their terminator. A longer code text ends the list (as a name too long
// for its buffer ends an enumeration); a longer name is cut.
inline constexpr std::size_t kCountryCodeTextMax = 254;
inline constexpr std::size_t kCountryNameMax = 254;

// Size of the buffer in which the code sent to the library is written.
inline constexpr std::size_t kCountrySendTextSize = 128;

// One country as a source yields it: its code as decimal text and its name,
// both 8-bit texts.
struct CountryEntry {
    std::string code;
    std::string name;
};

// One list item: its text and its data, the country code.
struct CountryItem {
    std::string text;
    int32_t code = 0;
    bool operator==(const CountryItem &) const = default;
};

// Where the country lists come from. Called on the UI thread.
class CountrySource {
public:
    virtual ~CountrySource() = default;
    // Every country in the source's own order; none when the source's
    // information cannot be read. A source that does not exist is empty.
    virtual std::optional<std::vector<CountryEntry>> Countries() = 0;
};

// The leading decimal number of text with atoi semantics: leading blanks,
// an optional sign, then digits up to the first other character; 0 if there
// are none. Values beyond 32 bits saturate. Pure.
int32_t CountryCodeOf(std::string_view text);

// "%s [ %s ]" of name and code text. Pure.
std::string CountryItemText(std::string_view name, std::string_view codeText);

// Order of the items of a sorted list: letters compared without case and
// with Latin-1 accents folded to their base letter, then by the bytes
// themselves. Negative, 0 or positive like strcmp. Pure.
int CompareCountryTexts(std::string_view a, std::string_view b);

// The items a list shows for entries, in list order: each entry becomes one
// item, inserted as a sorted list inserts it (after the items that compare
// equal). The first entry with a code text longer than kCountryCodeTextMax
// ends the list. Pure.
std::vector<CountryItem> CountryItemsOf(const std::vector<CountryEntry> &entries);

}  // namespace tvx

#endif  // TVX_PANEL_LOGIC_COUNTRYLIST_H
