#include "app/cli/cli_options.h"

#include <gtest/gtest.h>

namespace kestrel::cli {
namespace {

TEST(CliOptions, CommandsTakeTheirOptionsInAnyOrderAndSendDefaultsThePort) {
    const Command command = ParseCommandLine({"send", "--name", "a.txt", "x.txt", "--dir", "LAVA"});
    const auto* send = std::get_if<SendCommand>(&command);
    ASSERT_NE(send, nullptr);
    EXPECT_EQ(send->file, "x.txt");
    EXPECT_EQ(send->name, "a.txt");
    EXPECT_EQ(send->directory, "LAVA");
    EXPECT_EQ(send->port, "COM1");

    const Command bare = ParseCommandLine({"send", "x.txt", "--port", "/dev/ttyUSB0"});
    ASSERT_TRUE(std::holds_alternative<SendCommand>(bare));
    EXPECT_FALSE(std::get<SendCommand>(bare).name);
    EXPECT_EQ(std::get<SendCommand>(bare).port, "/dev/ttyUSB0");
    EXPECT_TRUE(std::holds_alternative<ReceiveCommand>(
        ParseCommandLine({"receive", "x", "--dir", "d", "--name", "n"})));
}

TEST(CliOptions, MistakesAreUsageErrors) {
    for (const auto& words :
         std::vector<std::vector<std::string>>{{},
                                               {"fly"},
                                               {"send"},
                                               {"send", "a", "b"},
                                               {"send", "a", "--dir"},
                                               {"send", "a", "--colour", "red"},
                                               {"send", "a", "--dir", "x", "--dir", "y"},
                                               {"ports", "extra"},
                                               {"receive", "x", "--dir", "d"},
                                               {"simulate", "file"}}) {
        EXPECT_TRUE(std::holds_alternative<UsageError>(ParseCommandLine(words)))
            << (words.empty() ? "(nothing)" : words[0]);
    }
}

TEST(CliOptions, HelpWinsAnywhere) {
    EXPECT_TRUE(std::holds_alternative<HelpCommand>(ParseCommandLine({"send", "--help"})));
    EXPECT_TRUE(std::holds_alternative<HelpCommand>(ParseCommandLine({"-h"})));
}

}  // namespace
}  // namespace kestrel::cli
