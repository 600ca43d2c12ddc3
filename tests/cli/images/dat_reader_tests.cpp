// The three kinds of DAT read through libxml2, and what is refused.
#include <gtest/gtest.h>

#include "cli/images/dat_reader.h"
#include "tests/support/cli_test_support.h"

namespace romtool::testing {
namespace {

using romprog::DatRom;
using romprog::DumpStatus;

struct Read {
  bool ok = false;
  DatSummary summary;
  std::vector<DatRom> roms;
  std::string error;
};

Read ReadText(const TempDir& dir, const std::string& text) {
  const std::string path = dir / "collection.xml";
  WriteWhole(path, text);
  Read read;
  read.ok = ReadDat(
      path, [&read](const DatRom& rom) { read.roms.push_back(rom); }, read.summary, read.error);
  return read;
}

TEST(DatReader, LogiqxGamesAndMachinesWithTheirRoms) {
  TempDir dir;
  const Read read = ReadText(dir, R"(<?xml version="1.0"?>
<!DOCTYPE datafile PUBLIC "-//Logiqx//DTD ROM Management Datafile//EN" "http://www.logiqx.com/Dats/datafile.dtd">
<datafile>
  <header><name>bench</name><description>ignored</description></header>
  <game name="pacman">
    <description>Pac-Man &amp; friends</description>
    <rom name="pacman.6e" size="4096" crc="C1E6AB10" sha1="E87E059C5BE45753F7E9F33DFF851F16D6751181"/>
    <rom name="pacman.6f" size="4096" crc="1a6fb2d4" status="baddump"/>
    <rom name="missing.7f" size="4096" status="nodump"/>
  </game>
  <machine name="other"><rom name="o.bin" size="16" crc="00000001"/></machine>
</datafile>
)");
  ASSERT_TRUE(read.ok) << read.error;
  EXPECT_EQ(read.summary.kind, DatKind::Logiqx);
  EXPECT_EQ(read.summary.sets, 2);
  EXPECT_EQ(read.summary.roms, 4);  // the nodump counted, not offered
  ASSERT_EQ(read.roms.size(), 3u);
  const DatRom& first = read.roms[0];
  EXPECT_EQ(first.set, "pacman");
  EXPECT_EQ(first.description, "Pac-Man & friends");
  EXPECT_EQ(first.name, "pacman.6e");
  EXPECT_EQ(first.size, 4096u);
  EXPECT_EQ(first.crc, 0xC1E6AB10u);
  ASSERT_TRUE(first.sha1);
  EXPECT_EQ((*first.sha1)[0], 0xE8);
  EXPECT_EQ((*first.sha1)[19], 0x81);
  EXPECT_EQ(first.status, DumpStatus::Good);
  EXPECT_EQ(read.roms[1].crc, 0x1A6FB2D4u);
  EXPECT_FALSE(read.roms[1].sha1);
  EXPECT_EQ(read.roms[1].status, DumpStatus::BadDump);
  EXPECT_EQ(read.roms[2].set, "other");
  EXPECT_EQ(read.roms[2].description, "");
}

TEST(DatReader, ListXmlWithItsDtdAndSoftwareListsWithTheirDataAreas) {
  TempDir dir;
  const Read listxml = ReadText(dir, R"(<?xml version="1.0"?>
<!DOCTYPE mame [
<!ELEMENT mame (machine+)>
<!ATTLIST rom status (baddump|nodump|good) "good">
]>
<mame build="0.261" debug="no" mameconfig="10">
  <machine name="board" sourcefile="board.cpp">
    <description>Board</description>
    <year>1987</year>
    <rom name="prog.u1" size="32768" crc="0badf00d" sha1="0000000000000000000000000000000000000001" region="maincpu" offset="0"/>
    <device_ref name="m68000"/>
  </machine>
</mame>
)");
  ASSERT_TRUE(listxml.ok) << listxml.error;
  EXPECT_EQ(listxml.summary.kind, DatKind::ListXml);
  ASSERT_EQ(listxml.roms.size(), 1u);
  EXPECT_EQ(listxml.roms[0].set, "board");
  EXPECT_EQ(listxml.roms[0].offset, "0");
  EXPECT_EQ(listxml.roms[0].status, DumpStatus::Good);

  const Read softlist = ReadText(dir, R"(<?xml version="1.0"?>
<softwarelist name="megadriv" description="Sega Mega Drive cartridges">
  <software name="sonic">
    <description>Sonic</description>
    <part name="cart" interface="megadriv_cart">
      <dataarea name="rom" width="16" endianness="big" size="0x80000">
        <rom name="sonic.u1" size="0x40000" crc="f9394e97" sha1="6ddb7de1e17e7f6cdb88927bd906352030daa194" offset="0x000000" loadflag="load16_byte"/>
        <rom name="sonic.u2" size="262144" crc="a1b2c3d4" offset="0x000001" loadflag="load16_byte"/>
        <rom size="0x40000" offset="0x80000" loadflag="continue"/>
      </dataarea>
    </part>
  </software>
</softwarelist>
)");
  ASSERT_TRUE(softlist.ok) << softlist.error;
  EXPECT_EQ(softlist.summary.kind, DatKind::SoftwareList);
  EXPECT_EQ(softlist.summary.roms, 3);
  ASSERT_EQ(softlist.roms.size(), 2u);
  EXPECT_EQ(softlist.roms[0].collection, "megadriv");
  EXPECT_EQ(softlist.roms[0].set, "sonic");
  EXPECT_EQ(softlist.roms[0].description, "Sonic");
  EXPECT_EQ(softlist.roms[0].size, 0x40000u);
  EXPECT_EQ(softlist.roms[0].loadflag, "load16_byte");
  EXPECT_EQ(softlist.roms[1].offset, "0x000001");
  EXPECT_EQ(softlist.roms[1].size, 262144u);

  // mame -listsoftware: the lists one after the other, each ROM under its own.
  const Read lists = ReadText(dir, R"(<softwarelists>
<softwarelist name="a"><software name="x"><part name="p"><dataarea name="rom">
<rom name="x.bin" size="4" crc="00000001"/></dataarea></part></software></softwarelist>
<softwarelist name="b"><software name="y"><part name="p"><dataarea name="rom">
<rom name="y.bin" size="4" crc="00000002"/></dataarea></part></software></softwarelist>
</softwarelists>)");
  ASSERT_TRUE(lists.ok) << lists.error;
  ASSERT_EQ(lists.roms.size(), 2u);
  EXPECT_EQ(lists.roms[0].collection, "a");
  EXPECT_EQ(lists.roms[1].collection, "b");
  EXPECT_EQ(lists.roms[1].set, "y");
}

TEST(DatReader, WhatIsNoDatOrNotWellFormedIsRefusedWithItsLine) {
  TempDir dir;
  const Read html = ReadText(dir, "<html><body>x</body></html>\n");
  EXPECT_FALSE(html.ok);
  EXPECT_NE(html.error.find("collection.xml:1: no DAT: its root element is <html>"),
            std::string::npos)
      << html.error;
  const Read broken =
      ReadText(dir,
               "<datafile>\n<game name=\"a\">\n<rom name=\"x\" size=\"1\" crc=\"00000000\">\n"
               "</game>\n</datafile>\n");
  EXPECT_FALSE(broken.ok);
  EXPECT_NE(broken.error.find("collection.xml:4: "), std::string::npos) << broken.error;
  const Read badCrc =
      ReadText(dir,
               "<datafile>\n<game name=\"a\">\n<rom name=\"x\" size=\"1\" crc=\"1234567\"/>\n"
               "</game>\n</datafile>\n");
  EXPECT_FALSE(badCrc.ok);
  EXPECT_NE(badCrc.error.find("collection.xml:3: rom 'x' of a: crc '1234567' is not 8 hex digits"),
            std::string::npos)
      << badCrc.error;
  const Read badSize =
      ReadText(dir,
               "<datafile><game name=\"a\"><rom name=\"x\" size=\"12k\" crc=\"12345678\"/></game>"
               "</datafile>");
  EXPECT_FALSE(badSize.ok);
  EXPECT_NE(badSize.error.find("size '12k' is not a number"), std::string::npos) << badSize.error;
  const Read text = ReadText(dir, "clrmamepro (\n\tname \"x\"\n)\n");
  EXPECT_FALSE(text.ok);
  EXPECT_NE(text.error.find("collection.xml:1: "), std::string::npos) << text.error;
  EXPECT_NE(text.error.find("(romtool reads XML DATs"), std::string::npos) << text.error;
  const Read empty = ReadText(dir, "");
  EXPECT_FALSE(empty.ok);
  Read missing;
  EXPECT_FALSE(ReadDat(
      dir / "none.dat", [](const DatRom&) {}, missing.summary, missing.error));
  EXPECT_NE(missing.error.find("cannot open"), std::string::npos) << missing.error;
}

}  // namespace
}  // namespace romtool::testing
