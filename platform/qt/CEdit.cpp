#include "platform/CEdit.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QValidator>
#include <cmath>

#include "platform/qt/ChildStyle.h"
#include "platform/qt/QtWindows.h"

namespace {

// The box's line: it knows how much text fits between its frame and margins, and whether the
// change under way comes from the user (a key, a paste, a drop) or from the program.
class EditLine : public QLineEdit {
 public:
  using QLineEdit::QLineEdit;

  // Whether `text` shows whole, measured with the box's own font, so that the box never scrolls.
  bool Fits(const QString& text) const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents =
        style()->subElementRect(QStyle::SE_LineEditContents, &option, this) - textMargins();
    // The line keeps a margin of 2 pixels on each side, and scrolls once the text, one pixel and
    // the cursor no longer fit between them.
    constexpr int kLineMargins = 2 * 2 + 1;
    const int cursor = style()->pixelMetric(QStyle::PM_TextCursorWidth, &option, this);
    const int room = contents.width() - kLineMargins - cursor;
    return std::ceil(QFontMetricsF(font()).horizontalAdvance(text)) <= room;
  }

  bool UserIsEditing() const { return m_userIsEditing; }

 protected:
  bool event(QEvent* event) override {
    switch (event->type()) {
      case QEvent::KeyPress:            // typing, and the paste and undo keys
      case QEvent::InputMethod:         // composed characters
      case QEvent::Drop:                // dragged text
      case QEvent::MouseButtonRelease:  // the selection pasted with the middle button
      case QEvent::ContextMenu: {       // the context menu's Paste
        const QScopedValueRollback editing(m_userIsEditing, true);
        return QLineEdit::event(event);
      }
      default:
        return QLineEdit::event(event);
    }
  }

 private:
  bool m_userIsEditing = false;
};

// Typing stops when the box is full: a user's edit that would make the text wider than the box
// keeps only the part of what it inserted that fits (nothing, for one more key). Text that the
// program sets shows as it was set, as the platform's edit box takes it.
class FitsInBox : public QValidator {
 public:
  explicit FitsInBox(EditLine* edit) : QValidator(edit), m_edit(edit) {
    // The text before each edit: the validator runs before the change is announced.
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { m_before = text; });
  }

  State validate(QString& input, int& position) const override {
    if (!m_edit->UserIsEditing() || m_edit->Fits(input)) return Acceptable;
    qsizetype inserted = input.size() - m_before.size();
    while (inserted > 0 && position > 0 && !m_edit->Fits(input)) {
      input.remove(--position, 1);
      --inserted;
    }
    return Acceptable;  // narrow enough now, or no wider than the text the program set
  }

 private:
  EditLine* m_edit;
  QString m_before;
};

// The static text created just before the box names it for a screen reader, as the label of a
// form row does on the platform.
void NameAfterPrecedingLabel(QLineEdit* edit, QWidget* client) {
  QLabel* label = nullptr;
  for (QObject* child : client->children()) {
    if (child == edit) break;
    if (auto* candidate = qobject_cast<QLabel*>(child)) label = candidate;
  }
  if (label) label->setBuddy(edit);
}

}  // namespace

bool CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  QWidget* client = platform::qt::ClientWidgetOf(parent);
  if (!client) return false;
  auto* edit = new EditLine(client);
  edit->setFrame((style & WS_BORDER) != 0);
  edit->setFocusPolicy((style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
  edit->setValidator(new FitsInBox(edit));
  NameAfterPrecedingLabel(edit, client);
  platform::qt::AttachWidget(*this, edit, static_cast<int>(id));
  platform::qt::PlaceChild(edit, style, rect);
  return true;
}
