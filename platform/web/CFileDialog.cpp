// The file dialogs as a page has them. Open is the browser's file picker: the picked file is
// copied into the page's file system and its path there is the answer. Save asks for a name in a
// modal layer of the page; the file written under it goes to the browser as a download (Files.cpp).
// There is no folder to choose and no file to replace: the browser keeps its downloads.
#include <sys/stat.h>

#include <cstdio>
#include <memory>

#include "platform/Backend.h"
#include "platform/web/FileFilter.h"
#include "platform/web/Page.h"
#include "platform/web/PageText.h"
#include "platform/web/PageWindows.h"
#include "platform/web/Pump.h"

namespace {

// Where picked files are put. Picking a file of the same name again replaces the earlier copy.
constexpr const char* kPickedFolder = "/picked";

// Runs the page's window `window` (a picker or a layer) until it answers, and returns the answer.
int AnswerOf(int window) {
  int answer = 0;
  platform::web::SetCommandSink(window, [&answer](int id) { answer = id; });
  platform::web::RunModalLoop([&answer] { return answer != 0; });
  platform::web::Forget(window);
  return answer;
}

CString TextOf(int window, int (*copy)(int, char*, int)) {
  return platform::web::ReadPageText(
      [window, copy](char* buffer, int size) { return copy(window, buffer, size); });
}

// The picked file's bytes become a file of the page's file system. A file that could not be read,
// or is too large to take in, becomes none: opening its path then fails as opening a file that
// can't be read does.
CString CopyPickedFile(int picker) {
  const CString name = platform::web::PlainFileName(TextOf(picker, up_picked_name));
  if (name.empty()) return {};
  ::mkdir(kPickedFolder, 0777);
  const CString path = CString(kPickedFolder) + "/" + name;
  std::remove(path.c_str());
  const int size = up_picked_size(picker);
  if (size < 0) return path;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  up_picked_copy(picker, reinterpret_cast<unsigned char*>(bytes.data()), size);
  const std::unique_ptr<std::FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "wb"),
                                                                &std::fclose);
  if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
    std::remove(path.c_str());
  }
  return path;
}

std::optional<CString> PickToOpen(const platform::backend::FileDialogOptions& options) {
  const CString accept = platform::web::AcceptListOf(options.filter);
  const int picker = up_file_pick(accept.data(), static_cast<int>(accept.size()));
  const int answer = AnswerOf(picker);
  std::optional<CString> path;
  if (answer == IDOK) path = CopyPickedFile(picker);
  up_window_destroy(picker);
  if (!path || path->empty()) return std::nullopt;
  return path;
}

std::optional<CString> AskNameToSave(const platform::backend::FileDialogOptions& options) {
  const int layer =
      up_save_dialog_create(options.fileName.data(), static_cast<int>(options.fileName.size()));
  const int answer = AnswerOf(layer);
  const CString name = platform::web::PlainFileName(TextOf(layer, up_window_get_text));
  up_window_destroy(layer);
  if (answer != IDOK || name.empty()) return std::nullopt;
  const CString& folder = options.startFolder;
  return folder.empty() || folder.ends_with('/') ? folder + name : folder + "/" + name;
}

}  // namespace

namespace platform::backend {

std::optional<CString> ShowFileDialog(const FileDialogOptions& options) {
  return options.open ? PickToOpen(options) : AskNameToSave(options);
}

bool IsFolder(const CString& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The page's file system has the home folder of its one user.
CString DocumentsFolder() { return "/home/web_user"; }

}  // namespace platform::backend
