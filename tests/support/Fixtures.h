// What many Qt suites need around the code under test, in the toolkit's types: whole files written
// and read, the config.inf beside the test's own executable (where the main dialog reads it), and
// a dialog run modally under the watchdog. Each is the neutral support's own
// (tests/neutral/support/), which the GoogleTest suites use, as is the plain window for controls
// and forms (neutral::PlainWindow).
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <string>

#include "platform/CDialog.h"
#include "tests/neutral/support/PlainWindow.h"

namespace testsupport {

// Writes `bytes` as the whole file at `path`; true when every byte reached the file.
bool WriteFile(const QString& path, const QByteArray& bytes);

// The whole file at `path`, or "<unreadable>" when it cannot be read.
QByteArray ReadFile(const QString& path);

// The config.inf beside the test's own executable, and writing it (the test stops if it can't).
QString ConfigPathBesideExecutable();
void WriteConfigBesideExecutable(const QByteArray& content);

// A failure from inside a modal loop (a watchdog's), as Qt Test reports it.
void ReportToQtTest(const std::string& message);

// Runs `dialog` modally and calls `whileShown` once it is up (neutral::RunModal): a dialog still
// open afterwards is ended with -2, and one left open by a failed check is closed by the watchdog,
// so a wrong handler fails the test instead of hanging it. Returns what DoModal returned.
int RunModal(CDialog& dialog, const std::function<void()>& whileShown);

}  // namespace testsupport
