#include <gtest/gtest.h>

#include "cli/base/exit_code.h"
#include "cli/base/job_log.h"

namespace romtool::testing {
namespace {

// A file name or message with quotes, backslashes or control bytes stays one
// JSON string in the job log's line.
TEST(Options, TheJobLogQuotesWhatItWasGiven) {
  JobRecord record;
  record.command = "read";
  record.file = "C:\\roms\\\"a\".bin";
  record.exitCode = kNoAnswer;
  record.step = "read";
  record.error = "no answer\tat\ncell 0x0";
  const std::string line = JobLine(record);
  EXPECT_NE(line.find(R"("file":"C:\\roms\\\"a\".bin")"), std::string::npos) << line;
  EXPECT_NE(line.find(R"("error":"no answer\u0009at\u000acell 0x0")"), std::string::npos) << line;
  EXPECT_EQ(line.find('\n'), std::string::npos) << line;
}

}  // namespace
}  // namespace romtool::testing
