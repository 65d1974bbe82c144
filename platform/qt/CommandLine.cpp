#include "platform/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace platform {

namespace {

// Qt's own options, which QApplication takes out of the command line after this has read it
// (-platform offscreen, -display :1, ...): accepted here and left to it, and not in --help.
struct ToolkitOption {
  const char* name;
  bool takesValue;
};
constexpr ToolkitOption kToolkitOptions[] = {
    {"platform", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"qwindowgeometry", true},
    {"qwindowicon", true},
    {"qwindowtitle", true},
    {"reverse", false},
    {"session", true},
    {"display", true},
    {"geometry", true},
    {"title", true},
    {"icon", true},
    {"name", true},
    {"style", true},
    {"stylesheet", true},
    {"widgetcount", false},
    {"nograb", false},
    {"dograb", false},
};

QString Decode(const CString& text) { return QFile::decodeName(QByteArray::fromStdString(text)); }
CString Encode(const QString& path) { return QFile::encodeName(path).toStdString(); }
// An empty argument names nothing, and stays empty rather than naming the current folder.
CString AbsolutePath(const QString& path) {
  return path.isEmpty() ? CString() : Encode(QDir::current().absoluteFilePath(path));
}

struct Parser {
  QCommandLineParser parser;
  QCommandLineOption help{{"h", "help"}, QStringLiteral("Show this help and exit.")};
  QCommandLineOption version{{"v", "version"}, QStringLiteral("Show the version and exit.")};
  std::vector<QCommandLineOption> options;

  explicit Parser(const CommandLineSyntax& syntax) {
    // -config is --config, as Qt's own -platform is: one dash never packs several letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QString::fromUtf8(syntax.description));
    parser.addOption(help);
    parser.addOption(version);
    for (const CommandLineOption& option : syntax.options) {
      options.emplace_back(QString::fromUtf8(option.name), QString::fromUtf8(option.description),
                           QString::fromUtf8(option.valueName));
      parser.addOption(options.back());
    }
    for (const ToolkitOption& toolkit : kToolkitOptions) {
      QCommandLineOption option(QString::fromLatin1(toolkit.name));
      if (toolkit.takesValue) option.setValueName(QStringLiteral("value"));
      option.setFlags(QCommandLineOption::HiddenFromHelp);
      parser.addOption(option);
    }
    parser.addPositionalArgument(
        QString::fromUtf8(syntax.documentName), QString::fromUtf8(syntax.documentDescription),
        QStringLiteral("[%1]").arg(QString::fromUtf8(syntax.documentName)));
  }
};

}  // namespace

CCommandLineInfo ParseCommandLine(std::span<const CString> arguments,
                                  const CommandLineSyntax& syntax) {
  CCommandLineInfo info;
  QStringList list;
  for (const CString& argument : arguments) list.append(Decode(argument));
  if (list.isEmpty()) list.append(QString());

  Parser parsed(syntax);
  if (!parsed.parser.parse(list)) {
    info.action = CCommandLineInfo::Action::Error;
    info.errorMessage = parsed.parser.errorText().toStdString();
    return info;
  }
  if (parsed.parser.isSet(parsed.help)) {
    info.action = CCommandLineInfo::Action::ShowHelp;
    return info;
  }
  if (parsed.parser.isSet(parsed.version)) {
    info.action = CCommandLineInfo::Action::ShowVersion;
    return info;
  }
  const QStringList documents = parsed.parser.positionalArguments();
  if (documents.size() > 1) {
    info.action = CCommandLineInfo::Action::Error;
    info.errorMessage = QStringLiteral("Only one file can be opened: '%1' is one too many.")
                            .arg(documents.at(1))
                            .toStdString();
    return info;
  }
  if (!documents.isEmpty()) info.m_strFileName = AbsolutePath(documents.front());
  for (const QCommandLineOption& option : parsed.options) {
    // A value given twice: the last one counts, as with most programs.
    info.optionValues.push_back(parsed.parser.isSet(option)
                                    ? AbsolutePath(parsed.parser.values(option).back())
                                    : CString());
  }
  return info;
}

int AnswerCommandLine(const CCommandLineInfo& info, const CommandLineSyntax& syntax,
                      const CString& programPath) {
  const QByteArray program = QFileInfo(Decode(programPath)).fileName().toLocal8Bit();
  switch (info.action) {
    case CCommandLineInfo::Action::ShowHelp: {
      // The usage line names the program as it was started: helpText() takes the name from the
      // application object, which a terminal answer makes without a display.
      int argc = 1;
      QByteArray name = programPath.empty() ? QByteArray(syntax.programName)
                                            : QByteArray::fromStdString(programPath);
      char* argv[] = {name.data(), nullptr};
      QCoreApplication application(argc, argv);
      Parser parsed(syntax);
      std::fputs(parsed.parser.helpText().toLocal8Bit().constData(), stdout);
      return 0;
    }
    case CCommandLineInfo::Action::ShowVersion:
      std::printf("%s %s\n", syntax.programName, syntax.version);
      return 0;
    case CCommandLineInfo::Action::Error:
      std::fprintf(stderr, "%s: %s\n", program.isEmpty() ? syntax.programName : program.constData(),
                   info.errorMessage.c_str());
      return 2;
    case CCommandLineInfo::Action::Run:
      break;
  }
  return 0;
}

}  // namespace platform
