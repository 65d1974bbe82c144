// The packet built from what the edit boxes show: sync byte, count, low 8 bits of each value,
// and the wrapping checksum over the count and the values.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "config/AppConfig.h"
#include "programming/Packet.h"
#include "tests/neutral/support/CaseName.h"
#include "tests/neutral/support/Files.h"
#include "tests/neutral/support/PlainWindow.h"

namespace {

std::string PacketFor(const std::vector<std::string>& texts) {
  const neutral::TempFolder folder;
  const std::string path = folder.FilePath("config.inf");
  std::string content;
  for (std::size_t i = 0; i < texts.size(); ++i)
    content += "ID \"s" + std::to_string(i) + "\" \"BYTE\"\n";
  if (!neutral::WriteFile(path, content)) ADD_FAILURE() << "cannot write config.inf";
  CAppConfig config;
  config.LoadConfig(path.c_str());
  neutral::PlainWindow window;
  config.CreateControls(&window);
  for (int i = 0; i < config.GetCount(); ++i) {
    auto* setting = static_cast<CByteSetting*>(config.GetSetting(i));
    setting->GetEditBox()->SetWindowText(texts[static_cast<std::size_t>(i)].c_str());
  }
  const Packet packet = BuildPacket(config);
  return std::string(reinterpret_cast<const char*>(packet.bytes.data()), packet.length);
}

struct PacketCase {
  const char* name;
  std::vector<std::string> texts;  // as typed, UTF-8
  std::string expected;
};

// A failure names its row.
void PrintTo(const PacketCase& row, std::ostream* out) { *out << row.name; }

const PacketCase kPackets[] = {
    {"no settings", {}, std::string("\x55\x00\x00", 3)},
    {"1 and 2", {"1", "2"}, std::string("\x55\x02\x01\x02\x05", 5)},
    {"300, -1 and text", {"300", "-1", "abc"}, std::string("\x55\x03\x2c\xff\x00\x2e", 6)},
    {"wrapping checksum", {"200", "100", "10"}, std::string("\x55\x03\xc8\x64\x0a\x39", 6)},
    {"empty box is 0", {""}, std::string("\x55\x01\x00\x01", 4)},
    // A box's text becomes a number as config::ToInteger reads it, then its low 8 bits.
    {"0 and 255", {"0", "255"}, std::string("\x55\x02\x00\xff\x01", 5)},
    {"99999 keeps its low 8 bits", {"99999"}, std::string("\x55\x01\x9f\xa0", 4)},
    {"leading whitespace, plus sign", {"  \t42", "+7"}, std::string("\x55\x02\x2a\x07\x33", 5)},
    {"digits up to the first non-digit",
     {"12abc", "3.9", "1e3", "7 8"},
     std::string("\x55\x04\x0c\x03\x01\x07\x1b", 7)},
    {"no digits reads 0",
     {"0x1F", "-", "+-5", "- 5", " "},
     std::string("\x55\x05\x00\x00\x00\x00\x00\x05", 8)},
    {"non-ASCII digits are no digits",
     {"\xd9\xa3", "\xef\xbc\x91\xef\xbc\x92"},  // U+0663; U+FF11 U+FF12
     std::string("\x55\x02\x00\x00\x02", 5)},
    // Beyond the 32-bit range the number stays at the bound: wrapping would give 00 and FF here.
    {"above 32 bits stays at the largest",
     {"2147483647", "2147483648", "4294967296", "99999999999999999999"},
     std::string("\x55\x04\xff\xff\xff\xff\x00", 7)},
    {"below 32 bits stays at the smallest",
     {"-2147483648", "-2147483649", "-4294967295", "-99999999999999999999"},
     std::string("\x55\x04\x00\x00\x00\x00\x04", 7)},
};

class PacketTest : public testing::TestWithParam<PacketCase> {};

TEST_P(PacketTest, BytesFromTheBoxes) {
  EXPECT_EQ(PacketFor(GetParam().texts), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, PacketTest, testing::ValuesIn(kPackets), neutral::ByCaseName());

TEST(Packet, FullTable) {
  const std::string packet =
      PacketFor(std::vector<std::string>(CAppConfig::kCapacity, std::string("255")));
  ASSERT_EQ(packet.size(), static_cast<std::size_t>(CAppConfig::kCapacity + 3));
  EXPECT_EQ(static_cast<unsigned char>(packet[1]), 100);
  EXPECT_EQ(static_cast<unsigned char>(packet.back()), (100 + 100 * 255) % 256);
}

}  // namespace
