#include "platform/CProgressCtrl.h"

#include <QAccessibleWidget>
#include <algorithm>

#include "platform/Backend.h"
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

  const CProgressCtrl& Owner() const { return *m_owner; }

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

  QVariant currentValue() const override { return Bar().GetPos(); }
  void setCurrentValue(const QVariant&) override {}  // the program sets it, never the reader
  QVariant maximumValue() const override {
    int lower = 0;
    int upper = 0;
    Bar().GetRange(lower, upper);
    return std::max(lower, upper);
  }
  QVariant minimumValue() const override {
    int lower = 0;
    int upper = 0;
    Bar().GetRange(lower, upper);
    return std::min(lower, upper);
  }
  QVariant minimumStepSize() const override { return 1; }

 private:
  const CProgressCtrl& Bar() const { return static_cast<const ProgressBar*>(widget())->Owner(); }
};

// The bar's class has no meta-object of its own: it is asked for as a plain widget.
QAccessibleInterface* AccessibleFactory(const QString&, QObject* object) {
  auto* bar = dynamic_cast<ProgressBar*>(object);
  return bar ? new AccessibleProgressBar(bar) : nullptr;
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
  platform::qt::PlaceChild(bar, style, rect);
  return true;
}

// The bar keeps nothing of its own: it repaints, and a screen reader reads the control.
void platform::backend::ProgressChanged(CProgressCtrl& control) {
  if (QWidget* bar = qt::WidgetOf(control)) bar->update();
}
