// What many suites need around the code under test: a plain window for controls and forms
// (neutral::PlainWindow), whole
// files written and read, the config.inf beside the test's own executable (where the main dialog
// reads it), and a dialog run modally with a callback while it is shown.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

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

// Runs `dialog` modally and calls `whileShown` once it is up; a dialog still open afterwards is
// ended with -2, and one left open by a failed check is closed by the watchdog, so a wrong
// handler fails the test instead of hanging it. Returns what DoModal returned.
int RunModal(CDialog& dialog, const std::function<void()>& whileShown);

}  // namespace testsupport
