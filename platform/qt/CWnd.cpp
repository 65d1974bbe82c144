#include "platform/CWnd.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <algorithm>

#include "platform/qt/DialogWindow.h"
#include "platform/qt/QtWindows.h"
#include "platform/qt/TextCodec.h"

struct CWnd::Impl {
  QPointer<QWidget> widget;
  int id = 0;
  bool focusParked = false;  // disabled while it had the focus
};

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

namespace platform::qt {

QWidget* WidgetOf(const CWnd& window) { return window.GetImpl().widget.data(); }

QWidget* WidgetOf(const CWnd* window) { return window ? WidgetOf(*window) : nullptr; }

QWidget* ClientWidgetOf(const CWnd& window) {
  QWidget* widget = WidgetOf(window);
  if (auto* dialog = dynamic_cast<DialogWindow*>(widget)) return dialog->clientArea();
  return widget;
}

QWidget* ClientWidgetOf(const CWnd* window) { return window ? ClientWidgetOf(*window) : nullptr; }

CWnd* FromWidget(const QWidget* widget) {
  if (!widget) return nullptr;
  return reinterpret_cast<CWnd*>(widget->property(kOwnerProperty).value<quintptr>());
}

void AttachWidget(CWnd& window, QWidget* widget, int id) {
  CWnd::Impl& impl = window.GetImpl();
  impl.widget = widget;
  impl.id = id;
  widget->setProperty(kOwnerProperty, QVariant::fromValue(reinterpret_cast<quintptr>(&window)));
}

}  // namespace platform::qt

CWnd::CWnd() : m_impl(std::make_unique<Impl>()) {}

CWnd::~CWnd() { DestroyWindow(); }

int CWnd::GetDlgCtrlID() const { return m_impl->id; }

void CWnd::DestroyWindow() {
  QPointer<QWidget>& widget = m_impl->widget;
  if (widget) {
    widget->setProperty(kOwnerProperty, QVariant());
    delete widget.data();
  }
  widget = nullptr;
}

CWnd* CWnd::GetDlgItem(int id) const {
  QWidget* client = platform::qt::ClientWidgetOf(*this);
  if (!client) return nullptr;
  const auto children = client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  for (QWidget* child : children) {
    CWnd* owner = platform::qt::FromWidget(child);
    if (owner && owner->m_impl->id == id) return owner;
  }
  return nullptr;
}

void CWnd::SetWindowText(const char* text) {
  if (!m_impl->widget) return;
  const QString shown = platform::qt::DecodeText(text ? text : "");
  if (auto* edit = qobject_cast<QLineEdit*>(m_impl->widget)) {
    edit->setText(shown);
    edit->setCursorPosition(0);  // a text wider than the box shows its beginning, as typed text
  } else if (auto* button = qobject_cast<QAbstractButton*>(m_impl->widget)) {
    button->setText(shown);
  } else if (auto* label = qobject_cast<QLabel*>(m_impl->widget)) {
    label->setText(shown);
  } else {
    m_impl->widget->setWindowTitle(shown);  // a dialog's caption, or a custom control's own text
    // A custom control's text (the progress bar's status line) is what a screen reader announces.
    if (!m_impl->widget->isWindow()) m_impl->widget->setAccessibleName(shown);
  }
}

void CWnd::GetWindowText(CString& text) const {
  text.clear();
  if (!m_impl->widget) return;
  if (auto* edit = qobject_cast<QLineEdit*>(m_impl->widget)) {
    text = platform::qt::EncodeText(edit->text());
  } else if (auto* button = qobject_cast<QAbstractButton*>(m_impl->widget)) {
    text = platform::qt::EncodeText(button->text());
  } else if (auto* label = qobject_cast<QLabel*>(m_impl->widget)) {
    text = platform::qt::EncodeText(label->text());
  } else {
    text = platform::qt::EncodeText(m_impl->widget->windowTitle());
  }
}

void CWnd::MoveWindow(int x, int y, int width, int height, bool repaint) {
  if (!m_impl->widget) return;
  if (auto* dialog = dynamic_cast<platform::qt::DialogWindow*>(m_impl->widget.data())) {
    dialog->SetOuterGeometry(QRect(x, y, width, height));
    return;
  }
  // A child the platform would size negatively has no area at all.
  m_impl->widget->setGeometry(x, y, std::max(0, width), std::max(0, height));
  if (repaint) m_impl->widget->update();
}

bool CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int width, int height, UINT flags) {
  if (!m_impl->widget) return false;
  if (insertAfter == &wndBottom) PutLastInOrder(m_impl->widget);
  const QRect now = m_impl->widget->geometry();
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
  if (!m_impl->widget) return false;
  const bool wasDisabled = !m_impl->widget->isEnabled();
  if (!enable && m_impl->widget->hasFocus()) {
    // The toolkit would hand the focus of a disabled control to the next one, where Space and
    // Enter press another button. Here, as on the platform, the keys do nothing while it is
    // disabled: the window keeps no focused control, and the focus comes back on enabling.
    m_impl->widget->clearFocus();
    m_impl->focusParked = true;
  }
  m_impl->widget->setEnabled(enable);
  if (enable && m_impl->focusParked) {
    m_impl->focusParked = false;
    // Unless the user has put the focus elsewhere meanwhile (a click on another button).
    const QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() != m_impl->widget->window()) m_impl->widget->setFocus();
  }
  return wasDisabled;
}

void CWnd::GetClientRect(RECT* rect) const {
  *rect = RECT{};
  const QWidget* client = platform::qt::ClientWidgetOf(*this);
  if (!client) return;
  rect->right = client->width();
  rect->bottom = client->height();
}

void CWnd::Invalidate(bool /*erase*/) {
  if (QWidget* client = platform::qt::ClientWidgetOf(*this)) client->update();
}
