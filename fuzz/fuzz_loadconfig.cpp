// config.inf as anyone may have written it: whatever the bytes, the table stays within its
// capacity, every id, label and title fits its 100-character buffer, lookups by id agree with
// the table, and the packet built from the table is well formed.
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

#include "config/AppConfig.h"
#include "config/TextFile.h"
#include "fuzz/PacketCheck.h"
#include "programming/Packet.h"

namespace {

bool FitsItsBuffer(const char* text) {
  return text && strnlen(text, config::kTextLimit + 1) <= config::kTextLimit;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The same conversion as a read from a file, so that CR LF and the byte-order mark go through
  // the path a real config.inf takes.
  std::istringstream in(config::ToTextMode(std::string(reinterpret_cast<const char*>(data), size)));
  CAppConfig config;
  config.ParseConfig(in);

  const int count = config.GetCount();
  FUZZ_CHECK(count >= 0 && count <= CAppConfig::kCapacity);
  for (int i = 0; i < count; ++i) {
    const CSetting* setting = config.GetSetting(i);
    FUZZ_CHECK(setting && setting->GetKind() == 1);
    FUZZ_CHECK(FitsItsBuffer(setting->GetId()));
    FUZZ_CHECK(FitsItsBuffer(setting->GetLabel()));
    // A lookup finds this row or an earlier one with the same id, never a later one.
    const int found = config.FindById(setting->GetId());
    FUZZ_CHECK(found >= 0 && found <= i);
    FUZZ_CHECK(std::strcmp(config.GetSetting(found)->GetId(), setting->GetId()) == 0);
  }
  config::TextBuffer appName;
  std::memset(appName, 'x', sizeof appName);
  config.GetAppName(appName);
  FUZZ_CHECK(FitsItsBuffer(appName));

  // Without controls every value reads 0.
  const unsigned char zeros[CAppConfig::kCapacity] = {};
  fuzz::CheckPacket(BuildPacket(config), count, zeros);
  return 0;
}
