#include "platform/CFileDialog.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include "platform/CWnd.h"
#include "platform/DialogAnswerSource.h"
#include "platform/qt/ModalFocus.h"
#include "platform/qt/NameFilters.h"
#include "platform/qt/QtWindows.h"
#include "platform/qt/TextCodec.h"

namespace platform {

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

}  // namespace platform

namespace {

// The folder of the file last picked in this run; empty before the first.
QString g_lastFolder;

// Where a dialog opens: the folder used last in this run, else the user's documents folder, else
// home; never the process's working folder, which is "/" when a launcher starts the tool.
QString StartFolder() {
  if (!g_lastFolder.isEmpty() && QFileInfo(g_lastFolder).isDir()) return g_lastFolder;
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (!documents.isEmpty() && QFileInfo(documents).isDir()) return documents;
  return QDir::homePath();
}

}  // namespace

int CFileDialog::DoModal() {
  m_pathName.clear();
  if (auto* source = platform::InstalledDialogAnswerSource()) {
    const auto answer = source->AnswerFileDialog({m_open, m_flags, m_filter});
    if (!answer) return IDCANCEL;
    m_pathName = *answer;
    return IDOK;
  }

  const platform::ModalFocusReturn focusReturn;
  QFileDialog dialog(platform::qt::WidgetOf(m_parent));
  dialog.setAcceptMode(m_open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  // Both return a typed name of a file that does not exist: opening it then reports that it
  // can't be opened, and the name becomes the one Save writes to.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !(m_flags & OFN_OVERWRITEPROMPT));
  dialog.setDirectory(StartFolder());
  const QStringList filters = platform::ToNameFilters(m_filter.c_str());
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  if (!m_defaultExt.empty()) dialog.setDefaultSuffix(QFile::decodeName(m_defaultExt.c_str()));
  if (!m_fileName.empty()) dialog.selectFile(QFile::decodeName(m_fileName.c_str()));

  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return IDCANCEL;
  const QString picked = dialog.selectedFiles().constFirst();
  g_lastFolder = QFileInfo(picked).absolutePath();
  m_pathName = QFile::encodeName(picked).toStdString();
  return IDOK;
}
