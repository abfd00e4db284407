// The command-line text handed to the library's maintenance operations.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace tvx {
namespace {

TEST(CommandLineTest, ArgumentsAfterTheProgramJoinedBySingleSpaces)
{
    struct Row {
        std::vector<const char *> argv;
        const char *text;
    };
    const Row rows[] = {
        {{"tvxmonitor"}, ""},
        {{"tvxmonitor", "-x"}, "-x"},
        {{"tvxmonitor", "a", "b c", ""}, "a b c "},
        {{"tvxmonitor", "--port", "3"}, "--port 3"},
        {{}, ""},
    };
    for (const Row &row : rows)
        EXPECT_EQ(CommandLineText(static_cast<int>(row.argv.size()), row.argv.data()), row.text);
    EXPECT_EQ(CommandLineText(3, nullptr), "");
}

}  // namespace
}  // namespace tvx
