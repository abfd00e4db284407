#include "panel/logic/CountryList.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>

namespace tvx {

namespace {

// Base letter of the Latin-1 letters 0xC0..0xFF, lower case; the two signs
// 0xD7 and 0xF7 stand for themselves.
constexpr char kLatin1Base[] = "aaaaaaac"
                               "eeeeiiii"
                               "dnooooo\xD7"
                               "ouuuuyts"
                               "aaaaaaac"
                               "eeeeiiii"
                               "dnooooo\xF7"
                               "ouuuuyty";
static_assert(sizeof kLatin1Base == 64 + 1);

// The primary sort key of each byte: ASCII letters in lower case, accented
// Latin-1 letters as their base letter, every other byte as itself.
constexpr std::array<unsigned char, 256> kSortKey = [] {
    std::array<unsigned char, 256> key{};
    for (int c = 0; c < 256; ++c) {
        if (c >= 'A' && c <= 'Z')
            key[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c - 'A' + 'a');
        else if (c >= 0xC0)
            key[static_cast<std::size_t>(c)] = static_cast<unsigned char>(kLatin1Base[c - 0xC0]);
        else
            key[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c);
    }
    return key;
}();

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Text up to its first NUL, at most max bytes: what a terminated buffer of
// max + 1 bytes would hold.
std::string_view Terminated(std::string_view text, std::size_t max)
{
    const std::size_t end = std::min(text.find('\0'), max);
    return text.substr(0, std::min(end, text.size()));
}

}  // namespace

int32_t CountryCodeOf(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulated as a magnitude that stops growing past the 32-bit limit.
    constexpr int64_t kLimit = static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1;
    int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        magnitude = std::min<int64_t>(magnitude * 10 + (text[i] - '0'), kLimit);
    const int64_t value = negative ? -magnitude : magnitude;
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

std::string CountryItemText(std::string_view name, std::string_view codeText)
{
    std::string text;
    text.reserve(name.size() + codeText.size() + 5);
    text.append(name).append(" [ ").append(codeText).append(" ]");
    return text;
}

int CompareCountryTexts(std::string_view a, std::string_view b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char ka = kSortKey[static_cast<unsigned char>(a[i])];
        const unsigned char kb = kSortKey[static_cast<unsigned char>(b[i])];
        if (ka != kb)
            return ka < kb ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    // Same letters: the bytes decide, so that the order is total.
    const int raw = a.compare(b);
    return raw < 0 ? -1 : (raw > 0 ? 1 : 0);
}

std::vector<CountryItem> CountryItemsOf(const std::vector<CountryEntry> &entries)
{
    std::vector<CountryItem> items;
    items.reserve(entries.size());
    for (const CountryEntry &entry : entries) {
        if (Terminated(entry.code, entry.code.size()).size() > kCountryCodeTextMax)
            break;
        const std::string_view codeText = Terminated(entry.code, kCountryCodeTextMax);
        CountryItem item{CountryItemText(Terminated(entry.name, kCountryNameMax), codeText), CountryCodeOf(codeText)};
        const auto at =
            std::upper_bound(items.begin(), items.end(), item, [](const CountryItem &x, const CountryItem &y) {
                return CompareCountryTexts(x.text, y.text) < 0;
            });
        items.insert(at, std::move(item));
    }
    return items;
}

}  // namespace tvx
