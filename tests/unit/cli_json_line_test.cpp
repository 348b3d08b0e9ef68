#include "cli/json_line.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "cli/record_session.h"

namespace quelm::cli {
namespace {

TEST(JsonLine, EscapesWhatJsonCannotCarryRaw) {
    struct Row {
        std::string in;
        std::string out;
    };
    const Row rows[] = {
        {"plain", "\"plain\""},
        {"Ready @ 38400", "\"Ready @ 38400\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"line\nnext\r\t", "\"line\\nnext\\r\\t\""},
        {std::string("nul\0x", 5), "\"nul\\u0000x\""},
        {"\x01\x1f\x7f", "\"\\u0001\\u001f\\u007f\""},
        {"caf\xC3\xA9 \xE2\x82\xAC", "\"caf\xC3\xA9 \xE2\x82\xAC\""},  // valid UTF-8 stays
        {"bad\xFF", "\"bad\xEF\xBF\xBD\""},                            // a stray byte
        {"\xC3", "\"\xEF\xBF\xBD\""},                                  // cut sequence
        {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},                  // overlong '/'
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},  // surrogate
    };
    for (const auto& row : rows) {
        EXPECT_EQ(JsonString(row.in), row.out) << row.in;
    }
}

TEST(JsonLine, NumbersAndOrder) {
    JsonLine json;
    json.Add("n", 38400.0)
        .Add("f", 2.5)
        .Add("third", 1.0 / 3)
        .Add("neg", -7.0)
        .Add("i", std::int64_t{12})
        .Add("b", true)
        .Add("nan", std::nan(""))
        .Add("inf", std::numeric_limits<double>::infinity())
        .Add("s", "x");
    EXPECT_EQ(json.Text(),
              "{\"n\":38400,\"f\":2.5,\"third\":0.333333,\"neg\":-7,\"i\":12,\"b\":true,"
              "\"nan\":null,\"inf\":null,\"s\":\"x\"}");
    EXPECT_EQ(JsonLine().Text(), "{}");
}

TEST(RecordReportJson, CarriesTheFieldsScriptsRead) {
    RecordReport r;
    r.end = RecordEnd::FramesReached;
    r.connection = "Ready @ 38400";
    r.status = "COM Stopped";
    r.rate = "38400";
    r.stats.TotalFrames = 200;
    r.stats.ChecksumErrors = 3;
    r.stats.TimeoutErrors = 1;
    r.records = 197;
    r.pollingSeconds = 2;
    r.out = "/tmp/a \"b\".qm1";
    const std::string line = RecordReportJson(r);
    for (const char* part :
         {"\"rate\":38400", "\"status\":\"COM Stopped\"", "\"connection\":\"Ready @ 38400\"",
          "\"total_frames\":200", "\"checksum_errors\":3", "\"timeout_errors\":1",
          "\"records\":197", "\"polls_per_second\":100", "\"end\":\"frames\"",
          "\"out\":\"/tmp/a \\\"b\\\".qm1\"", "\"exit_code\":0"}) {
        EXPECT_NE(line.find(part), std::string::npos) << part << " in " << line;
    }
    EXPECT_EQ(line.find("message"), std::string::npos) << "no message when there is none";
    EXPECT_EQ(line.find('\n'), std::string::npos);

    r.end = RecordEnd::NotConnected;
    r.status = "COM Retry";
    r.pollingSeconds = 0;
    r.message = "The device did not answer";
    r.rate.reset();
    r.out.clear();
    const std::string failed = RecordReportJson(r);
    EXPECT_NE(failed.find("\"rate\":null"), std::string::npos) << failed;
    EXPECT_EQ(failed.find("\"out\""), std::string::npos) << "no log was made";
    EXPECT_NE(failed.find("\"exit_code\":1"), std::string::npos);
    EXPECT_NE(failed.find("\"polls_per_second\":0"), std::string::npos);
    EXPECT_NE(failed.find("\"message\":\"The device did not answer\""), std::string::npos);
}

}  // namespace
}  // namespace quelm::cli
