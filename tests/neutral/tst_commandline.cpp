// The command line as both builds read it: one table of arguments and the answer each must give,
// so that the Windows executable takes what the Linux one takes.
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "platform/CommandLine.h"
#include "tests/neutral/support/CaseName.h"

namespace {

namespace fs = std::filesystem;
using Action = platform::CCommandLineInfo::Action;

constexpr platform::CommandLineOption kOptions[] = {
    {"config", "PATH", "Take the form from this file."},
};
const platform::CommandLineSyntax kSyntax{
    .programName = "tool",
    .version = "1.2",
    .description = "A tool.",
    .documentName = "FILE.tss",
    .documentDescription = "Saved settings.",
    .options = kOptions,
};

// The absolute path of a name in the current folder, as the parser must give it.
std::string Absolute(const std::string& name) {
  return name.empty() ? std::string() : fs::absolute(name).lexically_normal().string();
}
std::string Normal(const std::string& path) {
  return path.empty() ? std::string() : fs::path(path).lexically_normal().string();
}

const std::string kElsewhere = (fs::temp_directory_path() / "elsewhere.tss").string();

struct Case {
  const char* name;
  std::vector<CString> arguments;  // after the program's name
  Action action;
  std::string document;  // as given: made absolute for the comparison
  std::string config;
  const char* errorNames = "";  // what the one-line error must name
};

void PrintTo(const Case& row, std::ostream* out) { *out << row.name; }

const Case kCases[] = {
    {"nothing", {}, Action::Run, "", ""},
    {"a document", {"saved.tss"}, Action::Run, "saved.tss", ""},
    {"a document given by its absolute path", {kElsewhere}, Action::Run, kElsewhere, ""},
    {"a document in a folder", {"sub/saved.tss"}, Action::Run, "sub/saved.tss", ""},
    {"an empty argument names nothing", {""}, Action::Run, "", ""},
    {"a lone dash is a document", {"-"}, Action::Run, "-", ""},
    {"a document after -- may start with a dash", {"--", "-odd.tss"}, Action::Run, "-odd.tss", ""},
    {"config, value after a space", {"--config", "other.inf"}, Action::Run, "", "other.inf"},
    {"config, value after =", {"--config=other.inf"}, Action::Run, "", "other.inf"},
    {"config with one dash", {"-config", "other.inf"}, Action::Run, "", "other.inf"},
    {"config given twice: the last counts",
     {"--config", "a.inf", "--config", "b.inf"},
     Action::Run,
     "",
     "b.inf"},
    {"config then document",
     {"--config", "other.inf", "saved.tss"},
     Action::Run,
     "saved.tss",
     "other.inf"},
    {"document then config",
     {"saved.tss", "--config", "other.inf"},
     Action::Run,
     "saved.tss",
     "other.inf"},
    {"--help", {"--help"}, Action::ShowHelp, "", ""},
    {"-h", {"-h"}, Action::ShowHelp, "", ""},
    {"help with a document", {"saved.tss", "--help"}, Action::ShowHelp, "", ""},
    {"help before version", {"--version", "--help"}, Action::ShowHelp, "", ""},
    {"--version", {"--version"}, Action::ShowVersion, "", ""},
    {"-v", {"-v"}, Action::ShowVersion, "", ""},
    {"an unknown option", {"--bogus"}, Action::Error, "", "", "bogus"},
    {"an unknown letter", {"-x"}, Action::Error, "", "", "x"},
    {"an unknown option with help", {"--help", "--bogus"}, Action::Error, "", "", "bogus"},
    {"config without its value", {"--config"}, Action::Error, "", "", "config"},
    {"two documents", {"a.tss", "b.tss"}, Action::Error, "", "", "b.tss"},
};

class CommandLineTest : public testing::TestWithParam<Case> {};

TEST_P(CommandLineTest, ReadsAsBothBuildsMust) {
  const Case& row = GetParam();
  std::vector<CString> arguments{"program"};
  arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
  const platform::CCommandLineInfo info = platform::ParseCommandLine(arguments, kSyntax);

  ASSERT_EQ(info.action, row.action) << info.errorMessage;
  if (row.action == Action::Error) {
    EXPECT_NE(info.errorMessage.find(row.errorNames), std::string::npos) << info.errorMessage;
    EXPECT_EQ(info.errorMessage.find('\n'), std::string::npos) << "not one line";
    return;
  }
  if (row.action != Action::Run) return;
  EXPECT_EQ(Normal(info.m_strFileName), Absolute(row.document));
  EXPECT_EQ(Normal(info.GetOption(0)), Absolute(row.config));
  EXPECT_EQ(info.GetOption(1), "") << "an option that was never declared";
}

INSTANTIATE_TEST_SUITE_P(Arguments, CommandLineTest, testing::ValuesIn(kCases),
                         neutral::ByCaseName{});

}  // namespace
