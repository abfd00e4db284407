#include "device/logic/CallerIdDecoder.h"
#include "tests/support/MdmfCallSetUp.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

constexpr char kUntouched = 0x5A;

// Decodes `payload` from an exactly sized heap block (so that ASan flags any
// read past it) into a 256-byte buffer; checks that the line is terminated
// within 100 bytes and that nothing after those 100 bytes was written.
std::string Decode(const std::string &payload)
{
    const size_t size = payload.size();
    std::unique_ptr<uint8_t[]> block(new uint8_t[size == 0 ? 1 : size]);
    std::memcpy(block.get(), payload.data(), size);
    char output[tvx::kCallerIdOutputSize];
    std::memset(output, kUntouched, sizeof output);

    tvx::DecodeCallerId(block.get(), static_cast<int32_t>(size), output);

    const void *end = std::memchr(output, 0, 100);
    EXPECT_NE(end, nullptr) << "line not terminated within 100 bytes";
    for (size_t i = 100; i < sizeof output; ++i) {
        EXPECT_EQ(output[i], kUntouched) << "byte " << i << " written";
    }
    return end == nullptr ? std::string() : std::string(output);
}

struct Case {
    const char *what;
    std::string payload;
    std::string line;
};

void RunCases(const std::vector<Case> &cases)
{
    for (const Case &c : cases) {
        EXPECT_EQ(Decode(c.payload), c.line) << c.what;
    }
}

using tvx::test::kMdmfCallSetUp;

TEST(CallerIdDecoder, WorkedExamples)
{
    RunCases({
        {"MDMF call set-up", kMdmfCallSetUp, "Ivor Kell at 7964710 - 29/04 22:30"},
        {"SDMF with number",
         "\x04\x0F"
         "04292230"
         "7964710"s,
         "7964710 - 29/04 22:30"},
        {"SDMF blocked",
         "\x04\x09"
         "04292230"
         "P"s,
         "Blocked - 29/04 22:30"},
        {"MDMF absence reasons",
         "\x80\x10"
         "\x01\x08"
         "04292230"
         "\x04\x01"
         "O"
         "\x08\x01"
         "P"s,
         "(Blocked) at Out Of Area - 29/04 22:30"},
        {"MDMF visual indicator", "\x82\x03\x0B\x01\xFF"s, " - VM On"},
        {"SDMF message waiting off", "\x06\x03\x6F\x6F\x6F"s, " - VM Off"},
        {"SDMF message waiting on", "\x06\x03\x42\x42\x42"s, " - VM On"},
        {"empty payload", ""s, "Unknown"},
        {"first byte 0",
         "\x00\x03"
         "abc"
         "\x02\x03"
         "555"s,
         "Unknown"},
    });
}

TEST(CallerIdDecoder, EdgeCases)
{
    RunCases({
        {"short date item sets the flag only",
         "\x02\x03"
         "555"
         "\x01\x02"
         "04"s,
         "555 - "},
        {"short date item keeps an earlier date",
         "\x01\x08"
         "04292230"
         "\x01\x02"
         "04"s,
         " - 29/04 22:30"},
        {"one-byte number that is no reason (SDMF)",
         "\x04\x09"
         "04292230"
         "5"s,
         " - 29/04 22:30"},
        {"one-byte number that is no reason (132)",
         "\x84\x09"
         "04292230"
         "5"s,
         " - 29/04 22:30"},
        {"type 2 then type 3",
         "\x02\x03"
         "555"
         "\x03\x04"
         "6666"s,
         "6666"},
        {"type 3 then type 2",
         "\x03\x04"
         "6666"
         "\x02\x03"
         "555"s,
         "555"},
        {"reason item before any message type",
         "\x04\x01"
         "O"s,
         "Unknown"},
        {"name exactly Blocked",
         "\x07\x07"
         "Blocked"s,
         "(Blocked)"},
        {"name exactly Out Of Area",
         "\x07\x0B"
         "Out Of Area"s,
         "(Out Of Area)"},
        {"name absence P",
         "\x08\x01"
         "P"s,
         "(Blocked)"},
        {"name absence O",
         "\x08\x01"
         "O"s,
         "(Out Of Area)"},
        {"number reason never in parentheses",
         "\x84\x00"
         "\x04\x01"
         "P"s,
         "Blocked"},
        {"indicator 0B 00 then an item",
         "\x0B\x00"
         "\x02\x03"
         "555"s,
         "555 - VM On"},
        {"indicator 06 00 then type 0x42",
         "\x06\x00"
         "\x42\x01"
         "x"s,
         " - VM On"},
        {"indicator 06 00 then type 2",
         "\x06\x00"
         "\x02\x03"
         "555"s,
         "555 - VM Off"},
        {"indicator 0B 00 then the end-of-walk 0", "\x0B\x00\x00"s, " - VM Off"},
        {"clipped number",
         "\x02\x09"
         "555"s,
         "Unknown"},
        {"only the date",
         "\x01\x08"
         "04292230"s,
         " - 29/04 22:30"},
        {"cut message header ends the walk",
         "\x80\x20"
         "\x01\x08"
         "04292230"s,
         "Unknown"},
        {"cut 130 header ends the walk",
         "\x82\x05"
         "\x0B\x01\xFF"s,
         "Unknown"},
        {"later name wins",
         "\x07\x03"
         "Ivo"
         "\x07\x04"
         "Kell"s,
         "Kell"},
        {"one-byte name reason that is no reason",
         "\x07\x03"
         "Ivo"
         "\x08\x01"
         "X"s,
         "Ivo"},
        {"two-byte name reason is the name",
         "\x07\x03"
         "Ivo"
         "\x08\x02"
         "PP"s,
         "PP"},
        {"empty name reason clears the name",
         "\x07\x03"
         "Ivo"
         "\x08\x00"s,
         "Unknown"},
        {"empty number clears the number",
         "\x02\x03"
         "555"
         "\x03\x00"s,
         "Unknown"},
        {"reason inside a message",
         "\x82\x00"
         "\x04\x01"
         "O"
         "\x07\x03"
         "Ivo"s,
         "Ivo at Out Of Area"},
        {"132 date and number",
         "\x84\x0A"
         "04292230"
         "79"s,
         "79 - 29/04 22:30"},
        {"132 of 8 bytes sets no date",
         "\x84\x08"
         "04292230"s,
         "Unknown"},
        {"SDMF of 8 bytes does nothing",
         "\x04\x08"
         "04292230"s,
         "Unknown"},
        {"date characters are not checked",
         "\x01\x08"
         "ab:cdefg"s,
         " - :c/ab de:fg"},
        {"unknown types are stepped over",
         "\x05\x03"
         "abc"
         "\x02\x03"
         "555"s,
         "555"},
        {"0x81 is not a message header",
         "\x81\x03"
         "\x02\x01"
         "9"
         "\x07\x03"
         "Ivo"s,
         "Ivo"},
        {"0 type byte ends the walk",
         "\x02\x03"
         "555"
         "\x00"
         "\x07\x03"
         "Ivo"s,
         "555"},
        {"message waiting and indicator: last wins",
         "\x06\x01"
         "B"
         "\x0B\x01\x00"s,
         " - VM Off"},
    });
}

TEST(CallerIdDecoder, NoBytes)
{
    const uint8_t bytes[] = {0x02, 0x03, '5', '5', '5'};
    char output[tvx::kCallerIdOutputSize];
    const struct {
        const char *what;
        const void *payload;
        int32_t count;
    } cases[] = {
        {"count 0", bytes, 0},
        {"negative count", bytes, -5},
        {"lowest count", bytes, INT32_MIN},
        {"null payload with a count", nullptr, 5},
        {"null payload without a count", nullptr, 0},
    };
    for (const auto &c : cases) {
        std::memset(output, kUntouched, sizeof output);
        tvx::DecodeCallerId(c.payload, c.count, output);
        EXPECT_STREQ(output, "Unknown") << c.what;
    }
    // The count, not the buffer, bounds the walk.
    std::memset(output, kUntouched, sizeof output);
    tvx::DecodeCallerId(bytes, 4, output);
    EXPECT_STREQ(output, "Unknown");
}

TEST(CallerIdDecoder, Truncation)
{
    const std::string name39(39, 'N');
    const std::string digits39(39, '5');
    RunCases({
        {"name of 39 kept", "\x07\x27"s + name39, name39},
        {"name of 45 cut to 39", "\x07\x2D"s + name39 + "XXXXXX", name39},
        {"number of 60 cut to 39", "\x02\x3C"s + digits39 + std::string(21, '6'), digits39},
        {"absence-rule name of 40 cut", "\x08\x28"s + name39 + "X", name39},
        {"SDMF number of 50 cut",
         "\x04\x3A"
         "04292230"s +
             digits39 + std::string(11, '6'),
         digits39 + " - 29/04 22:30"},
        {"cut name that starts with Blocked is no reason",
         "\x07\x30"
         "Blocked"s +
             std::string(41, 'x'),
         "Blocked" + std::string(32, 'x')},
        {"line cut to 99 characters",
         "\x07\x30"s + name39 + "XXXXXXXXX" + "\x02\x30" + digits39 + "666666666" +
             "\x01\x08"
             "04292230"
             "\x0B\x01\x00"s,
         name39 + " at " + digits39 + " - 29/04 22:30 - "},
        {"line cut inside the indicator",
         "\x07\x24"s + std::string(36, 'N') + "\x02\x27" + digits39 +
             "\x01\x08"
             "04292230"
             "\x06\x01"
             "B",
         std::string(36, 'N') + " at " + digits39 + " - 29/04 22:30 - VM "},
        {"line of exactly 99 characters",
         "\x07\x22"s + std::string(34, 'N') + "\x02\x27" + digits39 +
             "\x01\x08"
             "04292230"
             "\x06\x01"
             "B",
         std::string(34, 'N') + " at " + digits39 + " - 29/04 22:30 - VM On"},
    });
}

TEST(CallerIdDecoder, MalformedInput)
{
    RunCases({
        // A value whose declared length runs past the end: cut, first byte read as 0.
        {"cut name after a good one",
         "\x07\x03"
         "Ivo"
         "\x07\x09"
         "Ke"s,
         "Unknown"},
        {"cut date item is short",
         "\x02\x03"
         "555"
         "\x01\x08"
         "0429"s,
         "555 - "},
        {"cut date item of 8 bytes",
         "\x01\x09"
         "04292230"s,
         " - 29/"},
        {"cut SDMF keeps the tail",
         "\x04\x0F"
         "04292230"
         "79"s,
         "79 - 29/"},
        {"cut SDMF one-byte tail",
         "\x04\x0F"
         "04292230"
         "P"s,
         "Blocked - 29/"},
        {"cut 132",
         "\x84\x20"
         "04292230"
         "79"s,
         "79 - 29/"},
        {"cut one-byte reason leaves the number",
         "\x02\x03"
         "555"
         "\x82\x00"
         "\x04\x05"
         "O"s,
         "555"},
        {"cut indicator reads 0", "\x0B\x04\x01\x01"s, " - VM Off"},
        {"cut message waiting reads 0",
         "\x06\x04"
         "BB"s,
         " - VM Off"},
        {"header bytes at the very end",
         "\x07\x03"
         "Ivo"
         "\x07\x05"s,
         "Unknown"},
        {"zero-length indicator at the very end",
         "\x02\x03"
         "555"
         "\x0B\x00"s,
         "555 - VM Off"},
        {"zero-length message waiting at the very end", "\x06\x00"s, " - VM Off"},
        // A payload that ends after a type byte.
        {"only a type byte", "\x07"s, "Unknown"},
        {"trailing date type",
         "\x02\x03"
         "555"
         "\x01"s,
         "555 - "},
        {"trailing number type clears the number",
         "\x07\x03"
         "Ivo"
         "\x02\x03"
         "555"
         "\x02"s,
         "Ivo"},
        {"trailing name reason clears the name",
         "\x07\x03"
         "Ivo"
         "\x08"s,
         "Unknown"},
        {"trailing indicator type", "\x0B"s, " - VM Off"},
        {"trailing message waiting type",
         "\x02\x03"
         "555"
         "\x06"s,
         "555 - VM Off"},
        {"trailing header type",
         "\x02\x03"
         "555"
         "\x80"s,
         "555"},
        // A trailing checksum byte after a well-formed message.
        {"checksum of an unknown type", kMdmfCallSetUp + "\x5A", "Ivor Kell at 7964710 - 29/04 22:30"},
        {"checksum 0", kMdmfCallSetUp + "\x00"s, "Ivor Kell at 7964710 - 29/04 22:30"},
        {"checksum that reads as a number type", kMdmfCallSetUp + "\x02", "Ivor Kell - 29/04 22:30"},
        {"checksum that reads as a date type", kMdmfCallSetUp + "\x01", "Ivor Kell at 7964710 - 29/04 22:30"},
        {"checksum that reads as a name type", kMdmfCallSetUp + "\x07", "7964710 - 29/04 22:30"},
        // 0 bytes inside values end the text there.
        {"0 inside a name",
         "\x07\x0A"
         "Iv\0or Kell"s,
         "Iv"},
        {"0 first in a number",
         "\x07\x03"
         "Ivo"
         "\x02\x03"
         "\0"
         "55"s,
         "Ivo"},
        {"0 after Blocked",
         "\x07\x0B"
         "Blocked\0xyz"s,
         "(Blocked)"},
        {"0 inside a date",
         "\x01\x08"
         "0429\0"
         "230"s,
         " - 29/04 "},
        {"0 in an SDMF number",
         "\x04\x0C"
         "04292230"
         "79\0"
         "1"s,
         "79 - 29/04 22:30"},
        {"0 in the visual indicator", "\x0B\x01\x00"s, " - VM Off"},
    });
}

TEST(CallerIdDecoder, LongPayloadIsWalkedToTheEnd)
{
    std::string payload;
    for (int i = 0; i < 200000; ++i) {
        payload += "\x05\x03"
                   "abc";
    }
    payload += "\x07\x03"
               "Ivo"
               "\x02\x03"
               "555";
    EXPECT_EQ(Decode(payload), "Ivo at 555");
}

// The walk done literally: a full working copy of the payload, whose
// cut values get their first byte set to 0, and unbounded texts cut at the
// end. The decoder walks the payload in place and must give the same line.
std::string ReferenceDecode(const uint8_t *payload, size_t size)
{
    std::vector<uint8_t> copy(payload, payload + size);
    std::string name, number, date;
    bool dateFlag = false, indicatorFlag = false, indicatorOn = false, messageFlag = false;
    auto text = [](const uint8_t *p, size_t n) {
        std::string t(reinterpret_cast<const char *>(p), n);
        return t.substr(0, std::min<size_t>(t.find('\0'), 39));
    };
    auto absence = [&](std::string &field, const uint8_t *p, size_t n) {
        if (n != 1) {
            field = text(p, n);
        } else if (p[0] == 'O') {
            field = "Out Of Area";
        } else if (p[0] == 'P') {
            field = "Blocked";
        }
    };
    auto reformat = [&](const uint8_t *p) {
        const uint8_t d[11] = {p[2], p[3], '/', p[0], p[1], ' ', p[4], p[5], ':', p[6], p[7]};
        date = text(d, 11);
    };
    size_t pos = 0;
    while (pos < size && copy[pos] != 0) {
        const uint8_t type = copy[pos];
        uint8_t none = 0;  // the value when no byte of it lies in the payload
        const uint8_t *value = &none;
        size_t length = 0;
        bool last = false;
        if (pos + 1 >= size) {
            last = true;
        } else {
            const size_t left = size - (pos + 2);
            length = copy[pos + 1];
            if (length > left) {
                length = left;
                if (pos + 2 < size) {
                    copy[pos + 2] = 0;
                }
            }
            if (pos + 2 < size) {
                value = &copy[pos + 2];
            }
        }
        switch (type) {
        case 1:
            if (length == 8) {
                reformat(value);
            }
            dateFlag = true;
            break;
        case 2:
        case 3:
            number = text(value, length);
            break;
        case 4:
        case 132:
            if (type == 132) {
                messageFlag = true;
            }
            if (type == 4 && messageFlag) {
                absence(number, value, length);
            } else if (length > 8) {
                reformat(value);
                absence(number, value + 8, length - 8);
                dateFlag = true;
            }
            break;
        case 6:
            indicatorFlag = true;
            indicatorOn = value[0] == 'B';
            break;
        case 7:
            name = text(value, length);
            break;
        case 8:
            absence(name, value, length);
            break;
        case 11:
            indicatorFlag = true;
            indicatorOn = value[0] != 0;
            break;
        case 128:
        case 130:
            messageFlag = true;
            length = 0;
            break;
        default:
            break;
        }
        if (last) {
            break;
        }
        pos += 2 + length;
    }
    std::string line;
    if (!name.empty()) {
        line = (name == "Out Of Area" || name == "Blocked") ? "(" + name + ")" : name;
    }
    if (!number.empty()) {
        line += (line.empty() ? "" : " at ") + number;
    }
    if (dateFlag) {
        line += " - " + date;
    }
    if (indicatorFlag) {
        line += indicatorOn ? " - VM On" : " - VM Off";
    }
    return line.empty() ? "Unknown" : line.substr(0, 99);
}

// Payloads mostly made of plausible items, with lengths that fit, overrun
// or fall short, and values rich in the bytes the decoder tests for.
std::vector<uint8_t> RandomPayload(std::mt19937 &rng, size_t maxSize)
{
    static constexpr uint8_t kTypes[] = {1, 2, 3, 4, 6, 7, 8, 11, 128, 130, 132, 0, 5, 0x81, 0x42};
    static constexpr uint8_t kValueBytes[] = {'0', '4', '9', 'O', 'P', 'B', 0, 0xFF, 'x'};
    auto pick = [&rng](size_t n) { return static_cast<size_t>(rng() % n); };
    std::vector<uint8_t> bytes;
    const size_t target = pick(maxSize + 1);
    while (bytes.size() < target) {
        const uint8_t type = pick(8) == 0 ? static_cast<uint8_t>(rng()) : kTypes[pick(std::size(kTypes))];
        size_t length = pick(4) == 0 ? pick(256) : pick(12);
        if (type == 128 || type == 130) {
            length = pick(2) == 0 ? target - std::min(target, bytes.size() + 2) : pick(256);
        }
        if (type == 1 || type == 4 || type == 132) {
            length = pick(2) == 0 ? 8 + pick(3) : length;
        }
        bytes.push_back(type);
        bytes.push_back(static_cast<uint8_t>(length));
        for (size_t i = 0; i < length && bytes.size() < maxSize; ++i) {
            bytes.push_back(pick(3) == 0 ? static_cast<uint8_t>(rng()) : kValueBytes[pick(std::size(kValueBytes))]);
        }
    }
    bytes.resize(std::min(bytes.size(), target));
    return bytes;
}

// Three pages, the outer two inaccessible: a payload placed against either
// edge of the middle page faults on any read outside it, with or without ASan.
class GuardedPage {
public:
    GuardedPage()
    {
        page_ = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        void *p = mmap(nullptr, 3 * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        base_ = p == MAP_FAILED ? nullptr : static_cast<uint8_t *>(p);
        if (base_ != nullptr) {
            mprotect(base_, page_, PROT_NONE);
            mprotect(base_ + 2 * page_, page_, PROT_NONE);
        }
    }
    ~GuardedPage()
    {
        if (base_ != nullptr) {
            munmap(base_, 3 * page_);
        }
    }
    GuardedPage(const GuardedPage &) = delete;
    GuardedPage &operator=(const GuardedPage &) = delete;

    bool Ok() const { return base_ != nullptr; }
    size_t Size() const { return page_; }
    uint8_t *AtStart() { return base_ + page_; }
    uint8_t *EndingAtEdge(size_t size) { return base_ + 2 * page_ - size; }

private:
    uint8_t *base_ = nullptr;
    size_t page_ = 0;
};

TEST(CallerIdDecoder, RandomPayloadsStayInBoundsAndMatchTheWorkingCopyWalk)
{
    GuardedPage guarded;
    ASSERT_TRUE(guarded.Ok());
    std::mt19937 rng(20240429u);
    char output[tvx::kCallerIdOutputSize];
    int lines = 0;
    for (int i = 0; i < 30000; ++i) {
        const std::vector<uint8_t> bytes = RandomPayload(rng, std::min<size_t>(guarded.Size(), 400));
        uint8_t *payload = (i % 2 == 0) ? guarded.EndingAtEdge(bytes.size()) : guarded.AtStart();
        if (!bytes.empty()) {
            std::memcpy(payload, bytes.data(), bytes.size());
        }
        std::memset(output, kUntouched, sizeof output);

        tvx::DecodeCallerId(payload, static_cast<int32_t>(bytes.size()), output);

        const void *end = std::memchr(output, 0, 100);
        ASSERT_NE(end, nullptr) << "payload " << i;
        ASSERT_TRUE(std::all_of(output + 100, output + sizeof output, [](char c) { return c == kUntouched; }))
            << "payload " << i;
        const std::string line(output);
        ASSERT_EQ(line, ReferenceDecode(bytes.data(), bytes.size())) << "payload " << i;
        lines += line != "Unknown";
    }
    // The generator must reach the decoder's paths, not only produce noise.
    EXPECT_GT(lines, 10000);
}

}  // namespace
