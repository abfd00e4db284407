#include "simulator/sip/logic/CidText.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "simulator/logic/CallerIdMessage.h"

namespace tvxsim::sip {

namespace {

struct Fold {
    char32_t code;
    std::string_view ascii;
};

// Latin-1 Supplement and Latin Extended-A letters with a plain form,
// sorted by code point.
constexpr std::array<Fold, 166> kFolds = {{
    {0xA0, " "},  {0xC0, "A"},   {0xC1, "A"},   {0xC2, "A"},  {0xC3, "A"},  {0xC4, "A"},  {0xC5, "A"},  {0xC6, "AE"},
    {0xC7, "C"},  {0xC8, "E"},   {0xC9, "E"},   {0xCA, "E"},  {0xCB, "E"},  {0xCC, "I"},  {0xCD, "I"},  {0xCE, "I"},
    {0xCF, "I"},  {0xD0, "D"},   {0xD1, "N"},   {0xD2, "O"},  {0xD3, "O"},  {0xD4, "O"},  {0xD5, "O"},  {0xD6, "O"},
    {0xD8, "O"},  {0xD9, "U"},   {0xDA, "U"},   {0xDB, "U"},  {0xDC, "U"},  {0xDD, "Y"},  {0xDE, "TH"}, {0xDF, "ss"},
    {0xE0, "a"},  {0xE1, "a"},   {0xE2, "a"},   {0xE3, "a"},  {0xE4, "a"},  {0xE5, "a"},  {0xE6, "ae"}, {0xE7, "c"},
    {0xE8, "e"},  {0xE9, "e"},   {0xEA, "e"},   {0xEB, "e"},  {0xEC, "i"},  {0xED, "i"},  {0xEE, "i"},  {0xEF, "i"},
    {0xF0, "d"},  {0xF1, "n"},   {0xF2, "o"},   {0xF3, "o"},  {0xF4, "o"},  {0xF5, "o"},  {0xF6, "o"},  {0xF8, "o"},
    {0xF9, "u"},  {0xFA, "u"},   {0xFB, "u"},   {0xFC, "u"},  {0xFD, "y"},  {0xFE, "th"}, {0xFF, "y"},  {0x100, "A"},
    {0x101, "a"}, {0x102, "A"},  {0x103, "a"},  {0x104, "A"}, {0x105, "a"}, {0x106, "C"}, {0x107, "c"}, {0x108, "C"},
    {0x109, "c"}, {0x10A, "C"},  {0x10B, "c"},  {0x10C, "C"}, {0x10D, "c"}, {0x10E, "D"}, {0x10F, "d"}, {0x110, "D"},
    {0x111, "d"}, {0x112, "E"},  {0x113, "e"},  {0x114, "E"}, {0x115, "e"}, {0x116, "E"}, {0x117, "e"}, {0x118, "E"},
    {0x119, "e"}, {0x11A, "E"},  {0x11B, "e"},  {0x11C, "G"}, {0x11D, "g"}, {0x11E, "G"}, {0x11F, "g"}, {0x120, "G"},
    {0x121, "g"}, {0x122, "G"},  {0x123, "g"},  {0x124, "H"}, {0x125, "h"}, {0x126, "H"}, {0x127, "h"}, {0x128, "I"},
    {0x129, "i"}, {0x12A, "I"},  {0x12B, "i"},  {0x12C, "I"}, {0x12D, "i"}, {0x12E, "I"}, {0x12F, "i"}, {0x130, "I"},
    {0x131, "i"}, {0x132, "IJ"}, {0x133, "ij"}, {0x134, "J"}, {0x135, "j"}, {0x136, "K"}, {0x137, "k"}, {0x139, "L"},
    {0x13A, "l"}, {0x13B, "L"},  {0x13C, "l"},  {0x13D, "L"}, {0x13E, "l"}, {0x141, "L"}, {0x142, "l"}, {0x143, "N"},
    {0x144, "n"}, {0x145, "N"},  {0x146, "n"},  {0x147, "N"}, {0x148, "n"}, {0x14C, "O"}, {0x14D, "o"}, {0x150, "O"},
    {0x151, "o"}, {0x152, "OE"}, {0x153, "oe"}, {0x154, "R"}, {0x155, "r"}, {0x158, "R"}, {0x159, "r"}, {0x15A, "S"},
    {0x15B, "s"}, {0x15E, "S"},  {0x15F, "s"},  {0x160, "S"}, {0x161, "s"}, {0x162, "T"}, {0x163, "t"}, {0x164, "T"},
    {0x165, "t"}, {0x16A, "U"},  {0x16B, "u"},  {0x16E, "U"}, {0x16F, "u"}, {0x170, "U"}, {0x171, "u"}, {0x178, "Y"},
    {0x179, "Z"}, {0x17A, "z"},  {0x17B, "Z"},  {0x17C, "z"}, {0x17D, "Z"}, {0x17E, "z"},
}};

static_assert(std::is_sorted(kFolds.begin(), kFolds.end(),
                             [](const Fold &a, const Fold &b) { return a.code < b.code; }));

// The next code point of `s` from `i` on, advancing `i`; a malformed or
// overlong sequence gives U+FFFD and skips one byte.
char32_t NextCodePoint(std::string_view s, size_t &i)
{
    constexpr char32_t kBad = 0xFFFD;
    const auto lead = static_cast<unsigned char>(s[i]);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    size_t length = 0;
    char32_t code = 0;
    char32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, code = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, code = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, code = lead & 0x07, least = 0x10000;
    } else {
        ++i;
        return kBad;
    }
    if (i + length > s.size()) {
        ++i;
        return kBad;
    }
    for (size_t k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return kBad;
        }
        code = (code << 6) | (b & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        ++i;
        return kBad;
    }
    i += length;
    return code;
}

std::string_view AsciiOf(char32_t code, char &single)
{
    if (code == '"') {
        single = '\'';
        return {&single, 1};
    }
    if (code == '\t') {
        single = ' ';
        return {&single, 1};
    }
    if (code >= 0x20 && code < 0x7F) {
        single = static_cast<char>(code);
        return {&single, 1};
    }
    const auto row =
        std::lower_bound(kFolds.begin(), kFolds.end(), code, [](const Fold &f, char32_t c) { return f.code < c; });
    if (row != kFolds.end() && row->code == code)
        return row->ascii;
    return {};
}

}  // namespace

std::string FoldToCidText(std::string_view utf8)
{
    std::string out;
    size_t i = 0;
    while (i < utf8.size()) {
        char single = 0;
        const std::string_view ascii = AsciiOf(NextCodePoint(utf8, i), single);
        for (char c : ascii) {
            if (c == ' ' && (out.empty() || out.back() == ' '))
                continue;
            out.push_back(c);
        }
        if (out.size() >= kCidMaxText + 1)
            break;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    if (out.size() > kCidMaxText)
        out.resize(kCidMaxText);
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

}  // namespace tvxsim::sip
