// The programming run's progress bar painted offscreen: where the blue bar ends, the colour of
// its text on either side of that edge, and the paint context's rectangle conventions.
#include <QAccessible>
#include <QtTest>
#include <functional>

#include "platform/CBrush.h"
#include "platform/CDC.h"
#include "platform/qt/QtWindows.h"
#include "programming/TextProgressCtrl.h"
#include "tests/support/Fixtures.h"

namespace {

const QColor kBlue(0, 0, 255);

// A control of the given size on a plain window.
template <class Control>
struct OnWindow : neutral::PlainWindow {
  OnWindow(int width, int height) {
    control.Create(WS_CHILD | WS_VISIBLE, RECT{0, 0, width, height}, this, 1);
  }
  QWidget* Widget() const { return platform::qt::WidgetOf(control); }
  QImage Grab() const { return Widget()->grab().toImage(); }
  QColor Background() const { return Widget()->palette().color(QPalette::Window); }
  Control control;
};

// The bar with its range, position and text set as its owner sets them.
struct Bar : OnWindow<CTextProgressCtrl> {
  Bar(int width, int height, int lower, int upper, int position, const char* text = "")
      : OnWindow(width, height) {
    control.SetRange(lower, upper);
    control.SetPos(position);
    control.SetWindowText(text);
    control.Invalidate(true);
  }
};

// A control whose painting is whatever the test draws.
struct Canvas : CProgressCtrl {
  std::function<void(CDC&)> draw;
  void OnPaint() override {
    CPaintDC dc(this);
    draw(dc);
  }
};

QByteArray Describe(int x, int y, const QColor& colour, const char* what) {
  return QString("pixel (%1, %2) is %3: %4").arg(x).arg(y).arg(colour.name(), what).toUtf8();
}

// The first pixel that is not the colour `expected` gives for it, described; empty if none.
QByteArray FirstWrongPixel(const QImage& image, const std::function<QColor(int, int)>& expected) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixelColor(x, y) != expected(x, y)) {
        return Describe(x, y, image.pixelColor(x, y), qPrintable(expected(x, y).name()));
      }
    }
  }
  return {};
}

}  // namespace

class TestTextProgress : public QObject {
  Q_OBJECT

 private slots:
  void positionHeldInRange();
  void screenReaderSeesAProgressBar();
  void filledEdge_data();
  void filledEdge();
  void textColours_data();
  void textColours();
  void wideTextIsCentred();
  void rectangleConventions_data();
  void rectangleConventions();
};

void TestTextProgress::positionHeldInRange() {
  OnWindow<Canvas> window(100, 20);
  int paints = 0;
  window.control.draw = [&](CDC&) { ++paints; };
  platform::qt::WidgetOf(window)->resize(100, 20);
  platform::qt::WidgetOf(window)->show();
  QVERIFY(QTest::qWaitForWindowExposed(platform::qt::WidgetOf(window)));
  paints = 0;
  QCOMPARE(window.control.SetPos(60), 0);  // the previous position
  QTRY_VERIFY(paints > 0);                 // a moved position repaints by itself
  window.control.SetRange(0, 50);
  QCOMPARE(window.control.GetPos(), 50);  // held in the new range
}

// Its role, value and range, and the status line as its name, whatever the line says last.
void TestTextProgress::screenReaderSeesAProgressBar() {
  OnWindow<CTextProgressCtrl> window(200, 25);
  window.control.SetRange(0, 30);
  window.control.SetPos(12);
  window.control.SetWindowText("Programming...");
  QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(window.Widget());
  QVERIFY(bar);
  QCOMPARE(bar->role(), QAccessible::ProgressBar);
  QCOMPARE(bar->text(QAccessible::Name), QString("Programming..."));
  QAccessibleValueInterface* value = bar->valueInterface();
  QVERIFY(value);
  QCOMPARE(value->currentValue().toInt(), 12);
  QCOMPARE(value->minimumValue().toInt(), 0);
  QCOMPARE(value->maximumValue().toInt(), 30);
  // The name follows the status line to the end of a run.
  window.control.SetWindowText("Programming...Done");
  QCOMPARE(bar->text(QAccessible::Name), QString("Programming...Done"));
}

void TestTextProgress::filledEdge_data() {
  QTest::addColumn<int>("lower");
  QTest::addColumn<int>("upper");
  QTest::addColumn<int>("position");
  QTest::addColumn<int>("width");
  QTest::addColumn<int>("edge");  // the first column left unfilled
  // The fraction is kept in single precision, so some edges fall a pixel short.
  QTest::newRow("7 of 10 on 100") << 0 << 10 << 7 << 100 << 69;
  QTest::newRow("29 of 30 on 300") << 0 << 30 << 29 << 300 << 289;
  QTest::newRow("1 of 30 on 300") << 0 << 30 << 1 << 300 << 10;
  QTest::newRow("15 of 30 on 200") << 0 << 30 << 15 << 200 << 100;
  QTest::newRow("offset range") << 100 << 200 << 150 << 200 << 100;
  QTest::newRow("negative position") << -10 << 10 << -5 << 100 << 25;
  QTest::newRow("at lower bound") << 5 << 30 << 5 << 200 << 0;
  QTest::newRow("at upper bound") << 0 << 30 << 30 << 200 << 200;
  QTest::newRow("beyond upper, held") << 0 << 30 << 31 << 300 << 300;
  QTest::newRow("below lower, held") << 10 << 30 << 3 << 300 << 0;
}

void TestTextProgress::filledEdge() {
  QFETCH(int, lower);
  QFETCH(int, upper);
  QFETCH(int, position);
  QFETCH(int, width);
  QFETCH(int, edge);
  const Bar bar(width, 12, lower, upper, position);  // no text: only the bar is painted
  const QColor background = bar.Background();
  QCOMPARE(FirstWrongPixel(bar.Grab(), [&](int x, int) { return x < edge ? kBlue : background; }),
           QByteArray());
}

void TestTextProgress::textColours_data() {
  QTest::addColumn<QByteArray>("text");
  QTest::addColumn<int>("width");
  QTest::addColumn<int>("position");       // of 0..100
  QTest::addColumn<bool>("letterAtEdge");  // text in both columns beside the edge
  const QByteArray text = "Programming...Canceled";
  QTest::newRow("half done") << text << 300 << 50 << false;
  QTest::newRow("nothing done") << text << 300 << 0 << false;
  QTest::newRow("all done") << text << 300 << 100 << false;
  QTest::newRow("edge inside a letter") << QByteArray("H") << 300 << 50 << true;
  QTest::newRow("wider than the bar") << text << 80 << 50 << false;
}

void TestTextProgress::textColours() {
  QFETCH(QByteArray, text);
  QFETCH(int, width);
  QFETCH(int, position);
  QFETCH(bool, letterAtEdge);
  Bar bar(width, 30, 0, 100, position, text.constData());
  QFont font = bar.Widget()->font();
  font.setPixelSize(20);  // strokes wide enough to hold fully white and fully black pixels
  bar.Widget()->setFont(font);
  const QImage image = bar.Grab();
  const QColor background = bar.Background();
  const int edge = width * position / 100;  // exact for these rows
  const int cellTop = (30 - QFontMetrics(font).height()) / 2;

  // Text pixels: neither the bar's blue nor the background; antialiased edges allowed.
  bool white = false;
  bool black = false;
  QList<bool> textInColumn(width, false);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < width; ++x) {
      const QColor pixel = image.pixelColor(x, y);
      if (pixel == (x < edge ? kBlue : background)) continue;
      textInColumn[x] = true;
      if (y < cellTop || y >= cellTop + QFontMetrics(font).height()) {
        QFAIL(Describe(x, y, pixel, "outside the text's cells"));
      } else if (x < edge) {
        if (pixel.blue() < 160) QFAIL(Describe(x, y, pixel, "dark text on the bar"));
        white = white || pixel.red() > 200;
      } else {
        if (pixel.red() > background.red() || pixel.green() > background.green() ||
            pixel.blue() > background.blue()) {
          QFAIL(Describe(x, y, pixel, "light text beside the bar"));
        }
        black = black || pixel.lightness() < 80;
      }
    }
  }
  QCOMPARE(white, position > 0);
  QCOMPARE(black, position < 100);
  if (letterAtEdge) QVERIFY(textInColumn[edge - 1] && textInColumn[edge]);
}

void TestTextProgress::wideTextIsCentred() {
  // A text wider than the bar starts left of it, at half the negative difference rounded toward
  // zero: the narrow bar shows the middle of what a wide one shows.
  const QByteArray text = "Programming...Canceled";
  const Bar wide(400, 30, 0, 100, 0, text.constData());
  const int textWidth = QFontMetrics(wide.Widget()->font()).horizontalAdvance(QString(text));
  const int narrowWidth = (textWidth - 60) % 2 == 0 ? 61 : 60;  // an odd difference to round
  QVERIFY(textWidth > narrowWidth + 20);
  const Bar narrow(narrowWidth, 30, 0, 100, 0, text.constData());
  const int offset = (400 - textWidth) / 2 - (narrowWidth - textWidth) / 2;
  QCOMPARE(narrow.Grab(), wide.Grab().copy(offset, 0, narrowWidth, 30));
}

void TestTextProgress::rectangleConventions_data() {
  QTest::addColumn<QString>("operation");
  QTest::addColumn<QRect>("corners");  // left, top, right, bottom as the RECT's fields
  QTest::newRow("fill") << "FillRect" << QRect(QPoint(2, 2), QPoint(5, 6));
  QTest::newRow("fill solid") << "FillSolidRect" << QRect(QPoint(0, 3), QPoint(10, 4));
  QTest::newRow("frame") << "FrameRect" << QRect(QPoint(1, 1), QPoint(9, 8));
  QTest::newRow("frame, one pixel") << "FrameRect" << QRect(QPoint(3, 3), QPoint(4, 4));
  QTest::newRow("fill, empty") << "FillRect" << QRect(QPoint(4, 4), QPoint(4, 8));
  QTest::newRow("fill, negative") << "FillRect" << QRect(QPoint(5, 5), QPoint(2, 8));
  QTest::newRow("frame, negative") << "FrameRect" << QRect(QPoint(6, 2), QPoint(3, 8));
}

void TestTextProgress::rectangleConventions() {
  QFETCH(QString, operation);
  QFETCH(QRect, corners);
  const RECT rect{corners.left(), corners.top(), corners.right(), corners.bottom()};
  const QColor colour(10, 20, 200);
  CBrush brush(RGB(10, 20, 200));
  OnWindow<Canvas> window(10, 10);
  window.control.draw = [&](CDC& dc) {
    if (operation == "FillRect") dc.FillRect(&rect, &brush);
    if (operation == "FrameRect") dc.FrameRect(&rect, &brush);
    if (operation == "FillSolidRect") dc.FillSolidRect(&rect, RGB(10, 20, 200));
  };
  const QColor background = window.Background();
  QCOMPARE(FirstWrongPixel(window.Grab(),
                           [&](int x, int y) {
                             const bool inside = x >= rect.left && x < rect.right &&
                                                 y >= rect.top && y < rect.bottom;
                             const bool outermost = x == rect.left || x == rect.right - 1 ||
                                                    y == rect.top || y == rect.bottom - 1;
                             const bool framing = operation == "FrameRect";
                             return inside && (outermost || !framing) ? colour : background;
                           }),
           QByteArray());
}

QTEST_MAIN(TestTextProgress)
#include "tst_textprogress.moc"
