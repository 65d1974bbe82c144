// Saved-settings files as anyone may have written them, loaded into a form of a few settings
// whose values live in real edit boxes on an offscreen window. Whatever the bytes: the table
// keeps its rows, every box shows a plain decimal number, the packet carries exactly what the
// boxes show, and saving what was loaded then loading it into a second form shows the same values
// and saves the same text again.
#include <QApplication>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>

#include "config/TextFile.h"
#include "fuzz/PacketCheck.h"
#include "programming/Packet.h"
#include "tests/support/SettingsForm.h"

namespace {

using testsupport::SettingsForm;

// Distinct ids, so that a save and a load pair every line with its own row; one is longer than
// the 99 characters a row keeps.
const std::string kTable =
    "ID \"speed\" \"BYTE\"\nName \"Speed\"\nID \"mode\" \"BYTE\"\n"
    "ID \"a\" \"BYTE\"\nID \"b2\" \"BYTE\"\nID \"" +
    std::string(120, 'i') + "\" \"BYTE\"\n";
constexpr int kRows = 5;

QApplication* g_application = nullptr;
SettingsForm* g_loaded = nullptr;
SettingsForm* g_reloaded = nullptr;

std::string Text(const SettingsForm& form, int row) {
  CString text;
  form.EditBox(row)->GetWindowText(text);
  return text;
}

// What each form shows before an input: the loaded one 1, 2, 3..., the other -7, -8, -9..., so
// that a load which leaves a row alone shows in the checks. The forms and their boxes are made
// once; each input ends by putting these values back, which also keeps the boxes' memory the same
// from one input to the next, so that libFuzzer sees no growth to search for leaks in.
void ShowStartingValues(SettingsForm& loaded, SettingsForm& reloaded) {
  loaded.Number(1, 1);
  reloaded.Number(-7, -1);
}

std::string Saved(const SettingsForm& form) {
  const std::optional<std::string> saved = form.SavedText();
  FUZZ_CHECK(saved);
  return *saved;
}

// A box shows a value the way SetValue writes it: optional minus, digits, no leading zero.
bool IsPlainDecimal(const std::string& text) {
  const std::size_t digits = text.starts_with('-') ? 1 : 0;
  if (text.size() == digits || text.size() > digits + 10) return false;
  for (std::size_t i = digits; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return text[digits] != '0' || text.size() == digits + 1;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  g_application = new QApplication(*argc, *argv);
  g_loaded = new SettingsForm(kTable);
  g_reloaded = new SettingsForm(kTable);
  FUZZ_CHECK(g_loaded->config.GetCount() == kRows && g_reloaded->config.GetCount() == kRows);
  ShowStartingValues(*g_loaded, *g_reloaded);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SettingsForm& form = *g_loaded;
  SettingsForm& reloaded = *g_reloaded;
  form.LoadText(config::ToTextMode(std::string(reinterpret_cast<const char*>(data), size)));

  FUZZ_CHECK(form.config.GetCount() == kRows);
  unsigned char shown[kRows];
  for (int i = 0; i < kRows; ++i) {
    const std::string text = Text(form, i);
    FUZZ_CHECK(IsPlainDecimal(text));
    shown[i] = static_cast<unsigned char>(config::ToInteger(text.c_str()) & 0xFF);
  }
  fuzz::CheckPacket(BuildPacket(form.config), kRows, shown);

  // What a save writes loads back as the same values, whatever the other form showed before.
  const std::string saved = Saved(form);
  reloaded.LoadText(saved);
  for (int i = 0; i < kRows; ++i) FUZZ_CHECK(Text(reloaded, i) == Text(form, i));
  FUZZ_CHECK(Saved(reloaded) == saved);

  // The same bytes, line by line, as what a user typed into the boxes: the save holds the number
  // each box reads as, and loading it shows that number.
  std::istringstream lines(std::string(reinterpret_cast<const char*>(data), size));
  std::string line;
  for (int i = 0; i < kRows && std::getline(lines, line); ++i)
    form.EditBox(i)->SetWindowText(line.c_str());
  int typed[kRows];
  for (int i = 0; i < kRows; ++i) typed[i] = config::ToInteger(Text(form, i).c_str());
  reloaded.LoadText(Saved(form));
  for (int i = 0; i < kRows; ++i) FUZZ_CHECK(Text(reloaded, i) == std::to_string(typed[i]));

  ShowStartingValues(form, reloaded);
  return 0;
}
