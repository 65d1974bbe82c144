#include "platform/CommandLine.h"

#include <cstdio>

namespace platform {

// A page has no command line: it runs with no document and no options.
CCommandLineInfo ParseCommandLine(std::span<const CString> /*arguments*/,
                                  const CommandLineSyntax& syntax) {
  CCommandLineInfo info;
  info.optionValues.resize(syntax.options.size());
  return info;
}

// Never asked for in a page; on the browser's console, should it ever be.
int AnswerCommandLine(const CCommandLineInfo& info, const CommandLineSyntax& syntax,
                      const CString& /*programPath*/) {
  switch (info.action) {
    case CCommandLineInfo::Action::ShowVersion:
      std::printf("%s %s\n", syntax.programName, syntax.version);
      return 0;
    case CCommandLineInfo::Action::Error:
      std::fprintf(stderr, "%s: %s\n", syntax.programName, info.errorMessage.c_str());
      return 2;
    case CCommandLineInfo::Action::ShowHelp:
      std::printf("%s\n", syntax.description);
      return 0;
    case CCommandLineInfo::Action::Run:
      break;
  }
  return 0;
}

}  // namespace platform
