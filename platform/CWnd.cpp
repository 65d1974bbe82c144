#include "platform/CWnd.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

#include "platform/DialogWindow.h"
#include "platform/TextCodec.h"

namespace {
constexpr const char* kOwnerProperty = "platform.cwnd";

// Last among its siblings: a screen reader reads a window's children in the order of the
// toolkit's child list, and the tab order is made to follow the same list.
void PutLastInOrder(QWidget* widget) {
  QWidget* parent = widget->parentWidget();
  if (!parent) return;
  widget->raise();  // moves it to the end of the parent's child list
  QWidget* previous = nullptr;
  for (QObject* child : parent->children()) {
    auto* sibling = qobject_cast<QWidget*>(child);
    if (!sibling || sibling->isWindow() || !(sibling->focusPolicy() & Qt::TabFocus)) continue;
    if (previous) QWidget::setTabOrder(previous, sibling);
    previous = sibling;
  }
}
}  // namespace

const CWnd CWnd::wndBottom;

CWnd::~CWnd() { DestroyWindow(); }

void CWnd::AttachWidget(QWidget* widget, int id) {
  m_widget = widget;
  m_id = id;
  widget->setProperty(kOwnerProperty, QVariant::fromValue(reinterpret_cast<quintptr>(this)));
}

void CWnd::DestroyWindow() {
  if (m_widget) {
    m_widget->setProperty(kOwnerProperty, QVariant());
    delete m_widget.data();
  }
  m_widget = nullptr;
}

CWnd* CWnd::FromWidget(const QWidget* widget) {
  if (!widget) return nullptr;
  return reinterpret_cast<CWnd*>(widget->property(kOwnerProperty).value<quintptr>());
}

CWnd* CWnd::GetDlgItem(int id) const {
  QWidget* client = GetClientWidget();
  if (!client) return nullptr;
  const auto children = client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  for (QWidget* child : children) {
    CWnd* owner = FromWidget(child);
    if (owner && owner->m_id == id) return owner;
  }
  return nullptr;
}

void CWnd::SetWindowText(const char* text) {
  if (!m_widget) return;
  const QString shown = platform::DecodeText(text ? text : "");
  if (auto* edit = qobject_cast<QLineEdit*>(m_widget)) {
    edit->setText(shown);
    edit->setCursorPosition(0);  // a text wider than the box shows its beginning, as typed text
  } else if (auto* button = qobject_cast<QAbstractButton*>(m_widget)) {
    button->setText(shown);
  } else if (auto* label = qobject_cast<QLabel*>(m_widget)) {
    label->setText(shown);
  } else {
    m_widget->setWindowTitle(shown);  // a dialog's caption, or a custom control's own text
    // A custom control's text (the progress bar's status line) is what a screen reader announces.
    if (!m_widget->isWindow()) m_widget->setAccessibleName(shown);
  }
}

void CWnd::GetWindowText(CString& text) const {
  text.clear();
  if (!m_widget) return;
  if (auto* edit = qobject_cast<QLineEdit*>(m_widget)) {
    text = platform::EncodeText(edit->text());
  } else if (auto* button = qobject_cast<QAbstractButton*>(m_widget)) {
    text = platform::EncodeText(button->text());
  } else if (auto* label = qobject_cast<QLabel*>(m_widget)) {
    text = platform::EncodeText(label->text());
  } else {
    text = platform::EncodeText(m_widget->windowTitle());
  }
}

void CWnd::MoveWindow(int x, int y, int width, int height, bool repaint) {
  if (!m_widget) return;
  if (auto* dialog = dynamic_cast<platform::DialogWindow*>(m_widget.data())) {
    dialog->SetOuterGeometry(QRect(x, y, width, height));
    return;
  }
  // A child the platform would size negatively has no area at all.
  m_widget->setGeometry(x, y, std::max(0, width), std::max(0, height));
  if (repaint) m_widget->update();
}

bool CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int width, int height, UINT flags) {
  if (!m_widget) return false;
  if (insertAfter == &wndBottom) PutLastInOrder(m_widget);
  const QRect now = m_widget->geometry();
  if (flags & SWP_NOMOVE) {
    x = now.x();
    y = now.y();
  }
  if (flags & SWP_NOSIZE) {
    width = now.width();
    height = now.height();
  }
  if (!(flags & SWP_NOMOVE) || !(flags & SWP_NOSIZE)) MoveWindow(x, y, width, height, true);
  return true;
}

bool CWnd::EnableWindow(bool enable) {
  if (!m_widget) return false;
  const bool wasDisabled = !m_widget->isEnabled();
  if (!enable && m_widget->hasFocus()) {
    // The toolkit would hand the focus of a disabled control to the next one, where Space and
    // Enter press another button. Here, as on the platform, the keys do nothing while it is
    // disabled: the window keeps no focused control, and the focus comes back on enabling.
    m_widget->clearFocus();
    m_focusParked = true;
  }
  m_widget->setEnabled(enable);
  if (enable && m_focusParked) {
    m_focusParked = false;
    // Unless the user has put the focus elsewhere meanwhile (a click on another button).
    const QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() != m_widget->window()) m_widget->setFocus();
  }
  return wasDisabled;
}

void CWnd::GetClientRect(RECT* rect) const {
  *rect = RECT{};
  const QWidget* client = GetClientWidget();
  if (!client) return;
  rect->right = client->width();
  rect->bottom = client->height();
}

void CWnd::Invalidate(bool /*erase*/) {
  if (QWidget* client = GetClientWidget()) client->update();
}
