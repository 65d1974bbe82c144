#include "platform/CProgressCtrl.h"

#include <QAccessibleWidget>
#include <algorithm>
#include <cstdint>

#include "platform/CDC.h"
#include "platform/qt/ChildStyle.h"
#include "platform/qt/QtWindows.h"

namespace {

// The control's window: it keeps the bar's state, so the state goes with the window, and hands
// its paint events to the owning CProgressCtrl.
class ProgressBar : public QWidget {
 public:
  ProgressBar(CProgressCtrl* owner, QWidget* parent) : QWidget(parent), m_owner(owner) {
    setAutoFillBackground(true);  // erased to the window colour before every paint
  }

  int lower = 0;
  int upper = 100;
  int position = 0;

  // A position outside the range is held at the nearest bound.
  int HeldInRange(int value) const {
    return std::clamp(value, std::min(lower, upper), std::max(lower, upper));
  }

 protected:
  void paintEvent(QPaintEvent*) override { m_owner->OnPaint(); }

 private:
  CProgressCtrl* m_owner;
};

// What a screen reader is told: a progress bar with its value and range, named by its window
// text (the status line).
class AccessibleProgressBar : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit AccessibleProgressBar(QWidget* widget)
      : QAccessibleWidget(widget, QAccessible::ProgressBar) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  QVariant currentValue() const override { return Bar()->position; }
  void setCurrentValue(const QVariant&) override {}  // the program sets it, never the reader
  QVariant maximumValue() const override { return std::max(Bar()->lower, Bar()->upper); }
  QVariant minimumValue() const override { return std::min(Bar()->lower, Bar()->upper); }
  QVariant minimumStepSize() const override { return 1; }

 private:
  const ProgressBar* Bar() const { return static_cast<const ProgressBar*>(widget()); }
};

// The bar's class has no meta-object of its own: it is asked for as a plain widget.
QAccessibleInterface* AccessibleFactory(const QString&, QObject* object) {
  auto* bar = dynamic_cast<ProgressBar*>(object);
  return bar ? new AccessibleProgressBar(bar) : nullptr;
}

ProgressBar* BarOf(const CWnd& control) {
  return static_cast<ProgressBar*>(platform::qt::WidgetOf(control));
}

}  // namespace

bool CProgressCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  QWidget* client = platform::qt::ClientWidgetOf(parent);
  if (!client || platform::qt::WidgetOf(*this)) return false;
  static const bool factoryInstalled = [] {
    QAccessible::installFactory(AccessibleFactory);
    return true;
  }();
  (void)factoryInstalled;
  auto* bar = new ProgressBar(this, client);
  platform::qt::AttachWidget(*this, bar, static_cast<int>(id));
  platform::PlaceChild(bar, style, rect);
  return true;
}

LRESULT CProgressCtrl::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  ProgressBar* bar = BarOf(*this);
  if (!bar) return 0;
  switch (message) {
    case PBM_SETRANGE32: {
      const auto low16 = [](int value) { return static_cast<std::uint32_t>(value) & 0xFFFFu; };
      const LRESULT previous = low16(bar->lower) | (low16(bar->upper) << 16);
      bar->lower = static_cast<int>(wParam);
      bar->upper = static_cast<int>(lParam);
      bar->position = bar->HeldInRange(bar->position);
      bar->update();
      return previous;
    }
    case PBM_SETPOS: {
      const int previous = bar->position;
      bar->position = bar->HeldInRange(static_cast<int>(wParam));
      if (bar->position != previous) bar->update();
      return previous;
    }
    case PBM_GETPOS:
      return bar->position;
    default:
      return 0;
  }
}

void CProgressCtrl::GetRange(int& lower, int& upper) const {
  const ProgressBar* bar = BarOf(*this);
  lower = bar ? bar->lower : 0;
  upper = bar ? bar->upper : 0;
}

void CProgressCtrl::OnPaint() {
  CPaintDC dc(this);
  const ProgressBar* bar = BarOf(*this);
  if (!bar || bar->upper == bar->lower) return;
  RECT filled;
  GetClientRect(&filled);
  const std::int64_t done = std::int64_t{bar->position} - bar->lower;
  filled.right = static_cast<int>(filled.right * done / (std::int64_t{bar->upper} - bar->lower));
  dc.FillSolidRect(&filled, RGB(0, 120, 215));
}
