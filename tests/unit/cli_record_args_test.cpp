#include "cli/record_args.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quelm::cli {
namespace {

using Args = std::vector<std::string>;

TEST(RecordArgs, TakesEveryOption) {
    std::string error;
    // A value follows its option or an equals sign.
    const Args full{"--port", "/dev/pts/4",      "--max-rate=38400", "--out=run1.qm1", "--frames",
                    "500",    "--config=my.ini", "--json",           "--overwrite"};
    const auto a = ParseRecordArgs(full, error);
    ASSERT_TRUE(a.has_value()) << error;
    EXPECT_EQ(a->port, "/dev/pts/4");
    EXPECT_EQ(a->maxRate, "38400");
    EXPECT_EQ(a->out, "run1.qm1");
    EXPECT_EQ(a->frames, 500);
    EXPECT_FALSE(a->seconds.has_value());
    EXPECT_EQ(a->config, "my.ini");
    EXPECT_TRUE(a->json);
    EXPECT_TRUE(a->overwrite);

    const auto s = ParseRecordArgs(Args{"--seconds", "2.5", "--port", "/dev/ttyUSB0"}, error);
    ASSERT_TRUE(s.has_value()) << error;
    EXPECT_DOUBLE_EQ(*s->seconds, 2.5);
    EXPECT_FALSE(s->frames.has_value());
    EXPECT_TRUE(s->maxRate.empty()) << "left to the settings file";
    EXPECT_TRUE(s->out.empty());
    EXPECT_FALSE(s->json);

    const auto help = ParseRecordArgs(Args{"--help"}, error);  // needs no port
    ASSERT_TRUE(help.has_value());
    EXPECT_TRUE(help->help);
}

TEST(RecordArgs, RejectsWrongCommandLinesWithAMessage) {
    const std::vector<Args> wrong{
        {},                                                       // no port
        {"--json"},                                               // still no port
        {"--port"},                                               // port without value
        {"--port", ""},                                           // empty value
        {"--port", "/dev/x", "--max-rate", "14400"},              // off the ladder
        {"--port", "/dev/x", "--max-rate", "38400x"},             // not a rate text
        {"--port", "/dev/x", "--frames", "0"},                    // at least one frame
        {"--port", "/dev/x", "--frames", "-3"},                   //
        {"--port", "/dev/x", "--frames", "12.5"},                 // whole frames
        {"--port", "/dev/x", "--seconds", "0"},                   // above zero
        {"--port", "/dev/x", "--seconds", "nan"},                 //
        {"--port", "/dev/x", "--seconds", "inf"},                 //
        {"--port", "/dev/x", "--frames", "5", "--seconds", "5"},  // one limit only
        {"--port", "/dev/x", "--verbose"},                        // unknown
        {"--port", "/dev/x", "--out"},                            // missing value at the end
        {"--port=", "/dev/x"},                                    // empty value
        {"--port=/dev/x", "--json=no"},                           // a flag takes no value
    };
    for (const auto& args : wrong) {
        std::string error;
        const std::string line = ::testing::PrintToString(args);
        EXPECT_FALSE(ParseRecordArgs(args, error).has_value()) << line;
        EXPECT_FALSE(error.empty()) << line;
        EXPECT_EQ(error.find('\n'), std::string::npos) << "one line: " << line;
    }
}

}  // namespace
}  // namespace quelm::cli
