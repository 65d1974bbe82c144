// Saved-settings files as anyone may have written them, loaded into a form of a few settings
// whose values live in real edit boxes on an offscreen window. Whatever the bytes: the table
// keeps its rows, every box shows a plain decimal number, the packet carries exactly what the
// boxes show, and saving what was loaded then loading it into a second form shows the same values
// and saves the same text again.
#include <QApplication>
#include <QLineEdit>
#include <QWidget>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "config/AppConfig.h"
#include "config/TextFile.h"
#include "fuzz/PacketCheck.h"
#include "platform/CWnd.h"
#include "programming/Packet.h"

namespace {

// Distinct ids, so that a save and a load pair every line with its own row; one is longer than
// the 99 characters a row keeps.
const std::string kTable =
    "ID \"speed\" \"BYTE\"\nName \"Speed\"\nID \"mode\" \"BYTE\"\n"
    "ID \"a\" \"BYTE\"\nID \"b2\" \"BYTE\"\nID \"" +
    std::string(120, 'i') + "\" \"BYTE\"\n";
constexpr int kRows = 5;

// A plain window with the form's rows on it, as the main dialog makes them.
class Form : public CWnd {
 public:
  Form() {
    AttachWidget(new QWidget, 0);
    std::istringstream in(kTable);
    config.ParseConfig(in);
    FUZZ_CHECK(config.GetCount() == kRows);
    config.CreateControls(this);
  }
  void Reset() {
    for (int i = 0; i < kRows; ++i) config.GetSetting(i)->SetValue(i + 1);
  }
  std::string Text(int i) const {
    CString text;
    static_cast<CByteSetting*>(config.GetSetting(i))->GetEditBox()->GetWindowText(text);
    return text;
  }
  std::string Saved() const {
    std::ostringstream out;
    config.WriteSettings(out);
    FUZZ_CHECK(out.good());
    return out.str();
  }
  void Load(const std::string& text) {
    std::istringstream in(text);
    config.ParseSettings(in);
  }

  CAppConfig config;
};

QApplication* g_application = nullptr;
Form* g_loaded = nullptr;
Form* g_reloaded = nullptr;

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
  g_loaded = new Form;
  g_reloaded = new Form;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Form& form = *g_loaded;
  form.Reset();
  form.Load(config::ToTextMode(std::string(reinterpret_cast<const char*>(data), size)));

  FUZZ_CHECK(form.config.GetCount() == kRows);
  unsigned char shown[kRows];
  for (int i = 0; i < kRows; ++i) {
    const std::string text = form.Text(i);
    FUZZ_CHECK(IsPlainDecimal(text));
    shown[i] = static_cast<unsigned char>(config::ToInteger(text.c_str()) & 0xFF);
  }
  fuzz::CheckPacket(BuildPacket(form.config), kRows, shown);

  // What a save writes loads back as the same values, whatever the other form showed before.
  const std::string saved = form.Saved();
  for (int i = 0; i < kRows; ++i) g_reloaded->config.GetSetting(i)->SetValue(-7 - i);
  g_reloaded->Load(saved);
  for (int i = 0; i < kRows; ++i) FUZZ_CHECK(g_reloaded->Text(i) == form.Text(i));
  FUZZ_CHECK(g_reloaded->Saved() == saved);

  // The same bytes, line by line, as what a user typed into the boxes: the save holds the number
  // each box reads as, and loading it shows that number.
  std::istringstream lines(std::string(reinterpret_cast<const char*>(data), size));
  std::string line;
  for (int i = 0; i < kRows && std::getline(lines, line); ++i) {
    static_cast<CByteSetting*>(form.config.GetSetting(i))
        ->GetEditBox()
        ->SetWindowText(line.c_str());
  }
  int typed[kRows];
  for (int i = 0; i < kRows; ++i) typed[i] = config::ToInteger(form.Text(i).c_str());
  g_reloaded->Load(form.Saved());
  for (int i = 0; i < kRows; ++i) FUZZ_CHECK(g_reloaded->Text(i) == std::to_string(typed[i]));
  return 0;
}
