#include "platform/ModulePath.h"

#include <QCoreApplication>
#include <QFile>

namespace platform {

const char kDirectorySeparator = '/';

CString GetModuleFileName() {
  return QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
}

}  // namespace platform
