// The file dialog as the toolkit shows it, with the platform's filter as its name filters.
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include "platform/Backend.h"
#include "platform/qt/ModalFocus.h"
#include "platform/qt/NameFilters.h"
#include "platform/qt/QtWindows.h"
#include "platform/qt/TextCodec.h"

namespace platform::qt {

QStringList ToNameFilters(const char* filter) {
  QStringList filters;
  if (!filter) return filters;
  const QStringList parts = DecodeText(filter).split('|');
  static const QRegularExpression kOwnPatterns(R"(\s*\([^()]*\)\s*$)");
  // An empty description ends the list, as the "||" at its end does.
  for (qsizetype i = 0; i + 1 < parts.size() && !parts[i].trimmed().isEmpty(); i += 2) {
    QString description = parts[i];
    description.remove(kOwnPatterns);
    QStringList patterns;
    for (QString pattern : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
      pattern = pattern.trimmed();
      if (pattern == "*.*") pattern = "*";  // the toolkit's "*.*" wants a full stop in the name
      if (!pattern.isEmpty()) patterns << pattern;
    }
    filters << description.trimmed() + " (" + patterns.join(' ') + ")";
  }
  return filters;
}

}  // namespace platform::qt

namespace platform::backend {

// Both modes return a typed name of a file that does not exist: opening it then reports that it
// can't be opened, and the name becomes the one Save writes to.
std::optional<CString> ShowFileDialog(const FileDialogOptions& options) {
  const qt::ModalFocusReturn focusReturn;
  QFileDialog dialog(qt::WidgetOf(options.owner));
  dialog.setAcceptMode(options.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.overwritePrompt);
  if (!options.startFolder.empty()) {
    dialog.setDirectory(QFile::decodeName(options.startFolder.c_str()));
  }
  const QStringList filters = qt::ToNameFilters(options.filter.c_str());
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  if (!options.defaultExt.empty()) {
    dialog.setDefaultSuffix(QFile::decodeName(options.defaultExt.c_str()));
  }
  if (!options.fileName.empty()) dialog.selectFile(QFile::decodeName(options.fileName.c_str()));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

bool IsFolder(const CString& path) { return QFileInfo(QFile::decodeName(path.c_str())).isDir(); }

CString DocumentsFolder() {
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  const QString folder =
      !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
  return QFile::encodeName(folder).toStdString();
}

}  // namespace platform::backend
