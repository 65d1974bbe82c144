#include "platform/CommandLine.h"

#include <optional>
#include <string>
#include <string_view>

#include "platform/CWinApp.h"
#include "platform/win32/System.h"
#include "platform/win32/WidePath.h"
#include "platform/win32/WideText.h"

namespace platform {

namespace {

// The absolute form of a path, as the system completes it from the current folder; the path as
// it is when it has none (no valid UTF-8, or the system refuses it).
CString AbsoluteArgumentPath(const CString& path) {
  const std::optional<std::wstring> wide = win32::WidePath(path);
  if (!wide || wide->empty()) return path;
  const DWORD length = GetFullPathNameW(wide->c_str(), 0, nullptr, nullptr);
  if (length == 0) return path;
  std::wstring full(length, L'\0');
  const DWORD written = GetFullPathNameW(wide->c_str(), length, full.data(), nullptr);
  if (written == 0 || written >= length) return path;
  full.resize(written);
  return win32::Utf8Path(full);
}

CCommandLineInfo CommandLineError(std::string message) {
  CCommandLineInfo info;
  info.action = CCommandLineInfo::Action::Error;
  info.errorMessage = std::move(message);
  return info;
}

}  // namespace

// The same rules as the Linux build's parser: one or two dashes before a whole word, a value
// after a space or an equals sign, "--" before a document that starts with a dash; and /? for
// help, as programs here take it.
CCommandLineInfo ParseCommandLine(std::span<const CString> arguments,
                                  const CommandLineSyntax& syntax) {
  CCommandLineInfo info;
  info.optionValues.resize(syntax.options.size());
  std::vector<CString> documents;
  bool help = false;
  bool version = false;
  bool optionsEnded = false;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const CString& argument = arguments[i];
    if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
      if (argument == "/?" && !optionsEnded) {
        help = true;
      } else {
        documents.push_back(argument);
      }
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    std::string_view word(argument);
    word.remove_prefix(word.starts_with("--") ? 2 : 1);
    const std::size_t equals = word.find('=');
    const std::string_view name = word.substr(0, equals);
    if (name == "h" || name == "help" || name == "?") {
      help = true;
      continue;
    }
    if (name == "v" || name == "version") {
      version = true;
      continue;
    }
    std::size_t index = 0;
    while (index < syntax.options.size() && name != syntax.options[index].name) ++index;
    if (index == syntax.options.size())
      return CommandLineError("Unknown option '" + CString(name) + "'.");
    if (equals != std::string_view::npos) {
      info.optionValues[index] = AbsoluteArgumentPath(CString(word.substr(equals + 1)));
    } else if (i + 1 < arguments.size()) {
      info.optionValues[index] = AbsoluteArgumentPath(arguments[++i]);
    } else {
      return CommandLineError("Missing value after '" + argument + "'.");
    }
  }
  if (help) {
    info.action = CCommandLineInfo::Action::ShowHelp;
  } else if (version) {
    info.action = CCommandLineInfo::Action::ShowVersion;
  } else if (documents.size() > 1) {
    return CommandLineError("Only one file can be opened: '" + documents[1] + "' is one too many.");
  } else if (!documents.empty()) {
    info.m_strFileName = AbsoluteArgumentPath(documents.front());
  }
  return info;
}

// A windowed program has no terminal to answer on: help, version and errors come in a message box
// captioned with the application's name.
int AnswerCommandLine(const CCommandLineInfo& info, const CommandLineSyntax& syntax,
                      const CString& programPath) {
  const CString program = programPath.substr(programPath.find_last_of("\\/") + 1);
  CString text;
  UINT icon = MB_ICONINFORMATION;
  int exitCode = 0;
  switch (info.action) {
    case CCommandLineInfo::Action::ShowHelp:
      text = "Usage: " + program + " [options] [" + syntax.documentName + "]\n" +
             syntax.description +
             "\n\nOptions:\n  -?, -h, --help\n      Show this help and exit.\n" +
             "  -v, --version\n      Show the version and exit.\n";
      for (const CommandLineOption& option : syntax.options) {
        text += CString("  --") + option.name + " " + option.valueName + "\n      " +
                option.description + "\n";
      }
      text += CString("\nArguments:\n  ") + syntax.documentName + "\n      " +
              syntax.documentDescription;
      break;
    case CCommandLineInfo::Action::ShowVersion:
      text = CString(syntax.programName) + " " + syntax.version;
      break;
    case CCommandLineInfo::Action::Error:
      text = info.errorMessage;
      icon = MB_ICONERROR;
      exitCode = 2;
      break;
    case CCommandLineInfo::Action::Run:
      return 0;
  }
  const char* caption = *AfxGetAppName() ? AfxGetAppName() : syntax.programName;
  MessageBoxW(nullptr, win32::Widen(text).c_str(), win32::Widen(caption).c_str(), MB_OK | icon);
  return exitCode;
}

}  // namespace platform
