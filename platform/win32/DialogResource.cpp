#include "platform/win32/DialogResource.h"

#include <string>
#include <string_view>

#include "platform/win32/WideText.h"

namespace platform::win32 {

namespace {

// The predefined window classes of dialog items, by the ordinals the template format gives them.
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kStaticClass = 0x0082;

// Appends the words of a template, aligning where the format asks for DWORD boundaries (the
// vector's storage itself starts on one).
class TemplateWriter {
 public:
  void Word(WORD value) { m_words.push_back(value); }
  void Dword(DWORD value) {
    Word(LOWORD(value));
    Word(HIWORD(value));
  }
  void Short(int value) { Word(static_cast<WORD>(static_cast<short>(value))); }
  // A NUL-terminated wide string.
  void Text(std::wstring_view text) {
    m_words.insert(m_words.end(), text.begin(), text.end());
    Word(0);
  }
  // An ordinal (0xFFFF, then the number) or a string, as MAKEINTRESOURCE names a resource.
  void NameOrOrdinal(const wchar_t* name) {
    if (IS_INTRESOURCE(name)) {
      Word(0xFFFF);
      Word(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)));
    } else {
      Text(name);
    }
  }
  void AlignToDword() {
    if (m_words.size() % 2 != 0) Word(0);
  }
  std::vector<WORD> Take() { return std::move(m_words); }

 private:
  std::vector<WORD> m_words;
};

struct ItemShape {
  WORD windowClass;
  DWORD style;
};

ItemShape ShapeOf(ItemKind kind) {
  switch (kind) {
    case ItemKind::DefPushButton:
      return {kButtonClass, BS_DEFPUSHBUTTON | WS_TABSTOP};
    case ItemKind::PushButton:
      return {kButtonClass, BS_PUSHBUTTON | WS_TABSTOP};
    case ItemKind::Icon:
      return {kStaticClass, SS_ICON};
    case ItemKind::CenteredText:
      // Shown as written: an '&' in the text is no mnemonic.
      return {kStaticClass, SS_CENTER | SS_NOPREFIX};
  }
  return {kStaticClass, SS_LEFT};
}

}  // namespace

std::vector<WORD> BuildDialogTemplate(const DialogTemplate& dialog, const wchar_t* icon) {
  TemplateWriter out;
  out.Word(1);       // version of the extended template
  out.Word(0xFFFF);  // its signature
  out.Dword(0);      // help id
  out.Dword(0);      // extended style
  out.Dword(kDialogStyle);
  out.Word(static_cast<WORD>(dialog.items.size()));
  out.Short(dialog.x);
  out.Short(dialog.y);
  out.Short(dialog.cx);
  out.Short(dialog.cy);
  out.Word(0);  // no menu: set on the window once it exists
  out.Word(0);  // the dialog manager's own window class
  out.Text(Widen(dialog.caption ? dialog.caption : ""));
  out.Word(kDialogFontPoints);
  out.Word(FW_NORMAL);
  out.Word(MAKEWORD(FALSE, DEFAULT_CHARSET));  // not italic, then the character set
  out.Text(kDialogFontFace);

  for (const DialogItem& item : dialog.items) {
    const ItemShape shape = ShapeOf(item.kind);
    out.AlignToDword();
    out.Dword(0);  // help id
    out.Dword(0);  // extended style
    out.Dword(WS_CHILD | WS_VISIBLE | shape.style);
    out.Short(item.x);
    out.Short(item.y);
    out.Short(item.cx);
    out.Short(item.cy);
    out.Dword(static_cast<DWORD>(item.id));
    out.Word(0xFFFF);
    out.Word(shape.windowClass);
    if (item.kind == ItemKind::Icon && icon) {
      out.NameOrOrdinal(icon);
    } else {
      out.Text(Widen(item.text ? item.text : ""));
    }
    out.Word(0);  // no creation data
  }
  return out.Take();
}

HMENU BuildMenu(const MenuTemplate& menu) {
  HMENU bar = CreateMenu();
  if (!bar) return nullptr;
  std::vector<HMENU> open{bar};  // the menus being filled, innermost last
  for (const MenuItem& item : menu.items) {
    const std::wstring text = Widen(item.text ? item.text : "");
    switch (item.kind) {
      case MenuItemKind::Popup: {
        HMENU popup = CreatePopupMenu();
        if (!popup) break;
        AppendMenuW(open.back(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                    text.c_str());
        open.push_back(popup);
        break;
      }
      case MenuItemKind::EndPopup:
        if (open.size() > 1) open.pop_back();
        break;
      case MenuItemKind::Separator:
        if (open.size() > 1) AppendMenuW(open.back(), MF_SEPARATOR, 0, nullptr);
        break;
      case MenuItemKind::Command:
        AppendMenuW(open.back(), MF_STRING, static_cast<UINT_PTR>(item.id), text.c_str());
        break;
    }
  }
  return bar;
}

namespace {

// The first icon group's name: an ordinal, or a string.
struct IconName {
  WORD ordinal = 0;
  std::wstring text;
};

BOOL CALLBACK TakeFirstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
  auto* first = reinterpret_cast<IconName*>(found);
  if (IS_INTRESOURCE(name)) {
    first->ordinal = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
  } else {
    first->text = name;  // the system's copy lasts only as long as this call
  }
  return FALSE;  // the first is enough
}

}  // namespace

const wchar_t* ApplicationIconName() {
  static const IconName name = [] {
    IconName first;
    EnumResourceNamesW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */,
                       TakeFirstName, reinterpret_cast<LONG_PTR>(&first));
    return first;
  }();
  if (name.ordinal != 0) return MAKEINTRESOURCEW(name.ordinal);
  return name.text.empty() ? nullptr : name.text.c_str();
}

}  // namespace platform::win32
