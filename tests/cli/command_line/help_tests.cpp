#include <gtest/gtest.h>

#include "cli/command_line/command_table.h"
#include "cli/command_line/help.h"

namespace romtool::testing {
namespace {

TEST(Options, EveryCommandHasItsHelp) {
  for (Command c : {Command::Ports, Command::Blank, Command::Read, Command::Write, Command::Verify,
                    Command::Convert, Command::Dump, Command::Sum, Command::Log}) {
    const std::string text = HelpText(c);
    EXPECT_EQ(text.find(std::string("usage: romtool ") + CommandWord(c)), 0u) << text;
    EXPECT_EQ(CommandNamed(CommandWord(c)), c);
  }
  EXPECT_NE(HelpText(Command::Write).find("--no-verify"), std::string::npos);
  EXPECT_EQ(HelpText(Command::Read).find("--no-verify"), std::string::npos);
  const std::string general = HelpText(Command::None);
  for (const char* word : {"ports", "blank", "read", "write", "verify", "convert", "dump", "sum"}) {
    EXPECT_NE(general.find(std::string("  ") + word + " "), std::string::npos) << word;
  }
}

}  // namespace
}  // namespace romtool::testing
