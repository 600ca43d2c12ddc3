// romsim's log line of an exchange.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "sim/romsim/exchange_recorder.h"

namespace romprog::sim {
namespace {

TEST(ExchangeLine, NamesEveryCount) {
  ExchangeLog log;
  log.command = 0x41;
  log.dataBytes = 100;
  log.acknowledges = 99;
  log.ending = "bad-cell";
  log.address = 99;
  log.programmed = 98;
  EXPECT_EQ(FormatExchange(log),
            "command=0x41 bytes=100 acks=99 ending=bad-cell address=99 programmed=98");
}

}  // namespace
}  // namespace romprog::sim
