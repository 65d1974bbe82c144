// The program's command line: one document to open at start and the options that the application
// declares. The program's entry reads it before any window exists, so that --help, --version and
// a mistyped option are answered on a machine without a display.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "platform/CString.h"

namespace platform {

// An option that takes a value: --name VALUE or --name=VALUE (one dash will do too).
struct CommandLineOption {
  const char* name;         // without the dashes
  const char* valueName;    // how --help names the value
  const char* description;  // one line for --help
};

// What the application takes on its command line, besides --help and --version.
struct CommandLineSyntax {
  const char* programName = "";  // --version shows it with the version
  const char* version = "";
  const char* description = "";  // the line --help shows under the usage
  const char* documentName = "FILE";
  const char* documentDescription = "";
  std::span<const CommandLineOption> options;
};

// What a command line asks for.
struct CCommandLineInfo {
  enum class Action { Run, ShowHelp, ShowVersion, Error };
  Action action = Action::Run;
  // The document to open at start, as an absolute path in the file system's encoding; empty when
  // none was given.
  CString m_strFileName;
  // Each declared option's value, in the order declared; empty when the option was not given.
  // Option values name files: each is made absolute, as the document is.
  std::vector<CString> optionValues;
  CString errorMessage;  // for Action::Error: one line, naming the argument at fault

  // The value of the option declared at `index`; empty when it was not given.
  CString GetOption(std::size_t index) const {
    return index < optionValues.size() ? optionValues[index] : CString();
  }
};

// Reads `arguments` (the program's name first, then its arguments as it was given them) against
// `syntax`. "--" ends the options: what follows is the document, whatever it starts with.
CCommandLineInfo ParseCommandLine(std::span<const CString> arguments,
                                  const CommandLineSyntax& syntax);

// Answers a command line that asks for help or a version, or that is in error, as programs do on
// this system: on Linux on the terminal (help and version on standard output, the error on
// standard error), on Windows in a message box. Returns the process's exit code: 0 for help and
// version, 2 for an error.
int AnswerCommandLine(const CCommandLineInfo& info, const CommandLineSyntax& syntax,
                      const CString& programPath);

}  // namespace platform
