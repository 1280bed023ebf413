#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/Error.h"
#include "bufr/BitWriter.h"

using namespace tern;

namespace {

std::vector<uint8_t> Octets(const std::string& s) { return {s.begin(), s.end()}; }

}  // namespace

TEST(BitWriter, BitsCrossAnOctetBoundaryMostSignificantFirst) {
  TBitWriter w(2);
  w.PutBits(0b111111, 6);
  w.PutBits(5, 3);  // 101: "10" ends the first octet, "1" opens the second
  EXPECT_EQ(w.OctetPosition(), 1u);
  EXPECT_EQ(w.BitsUsed(), 1);
  w.PadToOctet();
  EXPECT_EQ(Octets(w.Take()), (std::vector<uint8_t>{0xFE, 0x80}));
}

TEST(BitWriter, OnlyTheLowBitsOfAValueAreWritten) {
  TBitWriter w(3);
  w.PutBits(0xFFFFFF00u | 0x5, 3);  // high bits must not spill into the next fields
  w.PutBits(0, 5);
  w.PutBits(0xABCDu, 16);
  EXPECT_EQ(Octets(w.Take()), (std::vector<uint8_t>{0xA0, 0xAB, 0xCD}));
}

TEST(BitWriter, ThirtyTwoBitValuesAtAnyOffset) {
  TBitWriter w(5);
  w.PutBits(1, 1);
  w.PutBits(0x80000001u, 32);
  w.PadToOctet();
  // 1 1000...0001 then 7 pad bits.
  EXPECT_EQ(Octets(w.Take()), (std::vector<uint8_t>{0xC0, 0x00, 0x00, 0x00, 0x80}));
}

TEST(BitWriter, TextFieldsArePaddedCutOrAllOnes) {
  struct Case {
    std::string text;
    int width;
    std::vector<uint8_t> octets;
  };
  const Case cases[] = {
      {"ABC", 5, {0x41, 0x42, 0x43, 0x20, 0x20}},
      {"", 4, {0xFF, 0xFF, 0xFF, 0xFF}},
      {"ABCDEF", 3, {0x41, 0x42, 0x43}},
      {" ", 2, {0x20, 0x20}},  // a blank text is present, not missing
  };
  for (const Case& c : cases) {
    TBitWriter w(static_cast<size_t>(c.width));
    w.PutText(c.text, c.width);
    EXPECT_EQ(Octets(w.Take()), c.octets) << '"' << c.text << "\" width " << c.width;
  }
}

TEST(BitWriter, TextAfterAPartialOctetIsShiftedNotAligned) {
  TBitWriter w(3);
  w.PutBits(1, 4);
  w.PutText("A", 1);  // 0x41 straddles the octets
  w.PadToOctet();
  EXPECT_EQ(Octets(w.Take()), (std::vector<uint8_t>{0x14, 0x10}));
}

TEST(BitWriter, OctetsKeepOrderAlignedAndUnaligned) {
  TBitWriter w(9);
  w.PutOctets("BUFR", 4);
  w.PutBits(0, 4);
  w.PutOctets("\x12\x34", 2);
  w.PutBits(0xF, 4);
  w.PutOctets("77", 2);
  EXPECT_EQ(Octets(w.Take()), (std::vector<uint8_t>{'B', 'U', 'F', 'R', 0x01, 0x23, 0x4F, '7', '7'}));
}

TEST(BitWriter, DescriptorsPackFXY) {
  TBitWriter w(6);
  w.PutDescriptor(3, 9, 52);
  w.PutDescriptor(0, 1, 1);
  w.PutDescriptor(2, 5, 60);
  EXPECT_EQ(Octets(w.Take()), (std::vector<uint8_t>{0xC9, 0x34, 0x01, 0x01, 0x85, 0x3C}));
}

TEST(BitWriter, PaddingOnlyWhenAnOctetIsOpen) {
  TBitWriter w(3);
  w.PutBits(0xAB, 8);
  w.PadToOctet();
  EXPECT_EQ(w.BitCount(), 8u);
  w.PutBits(1, 1);
  w.PadToOctet();
  EXPECT_EQ(w.BitCount(), 16u);
  EXPECT_EQ(Octets(w.Take()), (std::vector<uint8_t>{0xAB, 0x80}));
}

TEST(BitWriter, WritingPastTheComputedSizeIsRefused) {
  TBitWriter w(1);
  w.PutBits(0, 7);
  EXPECT_THROW(w.PutBits(0, 2), TernError);
  TBitWriter t(2);
  EXPECT_THROW(t.PutText("ABC", 3), TernError);
  TBitWriter o(2);
  EXPECT_THROW(o.PutOctets("ABC", 3), TernError);
}

TEST(BitWriter, FieldWidthsOutsideTheirLimitsAreRefused) {
  TBitWriter w(200);
  EXPECT_THROW(w.PutBits(0, 0), TernError);
  EXPECT_THROW(w.PutBits(0, 33), TernError);
  EXPECT_THROW(w.PutText("A", 129), TernError);
}
