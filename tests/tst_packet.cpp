// The packet built from what the edit boxes show: sync byte, count, low 8 bits of each value,
// and the wrapping checksum over the count and the values.
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include "config/AppConfig.h"
#include "platform/CWnd.h"
#include "platform/qt/QtWindows.h"
#include "programming/Packet.h"

namespace {

class TestWindow : public CWnd {
 public:
  TestWindow() { platform::qt::AttachWidget(*this, new QWidget, 0); }
};

QByteArray PacketFor(const QStringList& texts) {
  QTemporaryDir dir;
  QFile file(dir.filePath("config.inf"));
  if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write config.inf");
  for (int i = 0; i < texts.size(); ++i)
    file.write("ID \"s" + QByteArray::number(i) + "\" \"BYTE\"\n");
  file.close();
  CAppConfig config;
  config.LoadConfig(QFile::encodeName(file.fileName()).constData());
  TestWindow window;
  config.CreateControls(&window);
  for (int i = 0; i < config.GetCount(); ++i) {
    auto* setting = static_cast<CByteSetting*>(config.GetSetting(i));
    static_cast<QLineEdit*>(platform::qt::WidgetOf(setting->GetEditBox()))->setText(texts[i]);
  }
  const Packet packet = BuildPacket(config);
  return QByteArray(reinterpret_cast<const char*>(packet.bytes.data()), packet.length);
}

}  // namespace

class TestPacket : public QObject {
  Q_OBJECT

 private slots:
  void packet_data();
  void packet();
  void fullTable();
};

void TestPacket::packet_data() {
  QTest::addColumn<QStringList>("texts");
  QTest::addColumn<QByteArray>("expected");
  QTest::newRow("no settings") << QStringList{} << QByteArray("\x55\x00\x00", 3);
  QTest::newRow("1 and 2") << QStringList{"1", "2"} << QByteArray("\x55\x02\x01\x02\x05", 5);
  QTest::newRow("300, -1 and text")
      << QStringList{"300", "-1", "abc"} << QByteArray("\x55\x03\x2c\xff\x00\x2e", 6);
  QTest::newRow("wrapping checksum")
      << QStringList{"200", "100", "10"} << QByteArray("\x55\x03\xc8\x64\x0a\x39", 6);
  QTest::newRow("empty box is 0") << QStringList{""} << QByteArray("\x55\x01\x00\x01", 4);
  // A box's text becomes a number as config::ToInteger reads it, then its low 8 bits.
  QTest::newRow("0 and 255") << QStringList{"0", "255"} << QByteArray("\x55\x02\x00\xff\x01", 5);
  QTest::newRow("99999 keeps its low 8 bits")
      << QStringList{"99999"} << QByteArray("\x55\x01\x9f\xa0", 4);
  QTest::newRow("leading whitespace, plus sign")
      << QStringList{"  \t42", "+7"} << QByteArray("\x55\x02\x2a\x07\x33", 5);
  QTest::newRow("digits up to the first non-digit")
      << QStringList{"12abc", "3.9", "1e3", "7 8"} << QByteArray("\x55\x04\x0c\x03\x01\x07\x1b", 7);
  QTest::newRow("no digits reads 0") << QStringList{"0x1F", "-", "+-5", "- 5", " "}
                                     << QByteArray("\x55\x05\x00\x00\x00\x00\x00\x05", 8);
  QTest::newRow("non-ASCII digits are no digits")
      << QStringList{"\u0663", "\uFF11\uFF12"} << QByteArray("\x55\x02\x00\x00\x02", 5);
  // Beyond the 32-bit range the number stays at the bound: wrapping would give 00 and FF here.
  QTest::newRow("above 32 bits stays at the largest")
      << QStringList{"2147483647", "2147483648", "4294967296", "99999999999999999999"}
      << QByteArray("\x55\x04\xff\xff\xff\xff\x00", 7);
  QTest::newRow("below 32 bits stays at the smallest")
      << QStringList{"-2147483648", "-2147483649", "-4294967295", "-99999999999999999999"}
      << QByteArray("\x55\x04\x00\x00\x00\x00\x04", 7);
}

void TestPacket::packet() {
  QFETCH(QStringList, texts);
  QTEST(PacketFor(texts), "expected");
}

void TestPacket::fullTable() {
  const QByteArray packet = PacketFor(QStringList(CAppConfig::kCapacity, "255"));
  QCOMPARE(packet.size(), CAppConfig::kCapacity + 3);
  QCOMPARE(static_cast<unsigned char>(packet[1]), 100);
  QCOMPARE(static_cast<unsigned char>(packet.back()), (100 + 100 * 255) % 256);
}

QTEST_MAIN(TestPacket)
#include "tst_packet.moc"
