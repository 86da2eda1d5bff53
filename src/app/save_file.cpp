#include "app/save_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <system_error>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace rd::app {

namespace {

namespace fs = std::filesystem;

std::error_code lastError() { return {errno, std::generic_category()}; }

std::string reasonOf(std::error_code ec) {
  using E = std::errc;
  if (ec == E::no_space_on_device) return "the disk is full";
#ifdef EDQUOT
  if (ec.value() == EDQUOT && ec.category() == std::generic_category()) return "the disk is full";
#endif
  if (ec == E::read_only_file_system) return "the folder is read-only";
  if (ec == E::permission_denied || ec == E::operation_not_permitted)
    return "writing in the folder is not allowed";
  if (ec == E::is_a_directory) return "a folder stands where the file should be";
  // A file stands where one of the folders on the way should be.
  if (ec == E::not_a_directory || ec == E::file_exists)
    return "a file stands where a folder should be";
  if (ec == E::too_many_symbolic_link_levels) return "its links lead round in a circle";
  if (ec == E::filename_too_long) return "its name is too long";
  if (ec == E::io_error) return "the disk failed";
  std::string why = ec.message();
  if (!why.empty()) why[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(why[0])));
  return why;
}

// The file a chain of symbolic links ends at (`path` itself when it is none).
fs::path linkTarget(fs::path path, std::error_code& ec) {
  // As many links as the system itself follows.
  for (int hops = 0; hops <= 40; ++hops) {
    if (!fs::is_symlink(fs::symlink_status(path, ec))) {
      ec.clear();
      return path;
    }
    const fs::path to = fs::read_symlink(path, ec);
    if (ec) return {};
    path = to.is_absolute() ? to : path.parent_path() / to;
  }
  ec = std::make_error_code(std::errc::too_many_symbolic_link_levels);
  return {};
}

std::error_code writeAll(int fd, const std::string& text) {
  for (size_t done = 0; done < text.size();) {
#ifdef _WIN32
    const auto n = ::_write(fd, text.data() + done, static_cast<unsigned>(text.size() - done));
#else
    const auto n = ::write(fd, text.data() + done, text.size() - done);
#endif
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return lastError();
    done += static_cast<size_t>(n);
  }
#ifdef _WIN32
  if (::_commit(fd) != 0) return lastError();
#else
  if (::fsync(fd) != 0) return lastError();
#endif
  return {};
}

}  // namespace

std::optional<std::string> saveFile(const std::string& path, const std::string& contents) {
  std::error_code ec;
  const fs::path target = linkTarget(path, ec);
  if (ec) return reasonOf(ec);
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  fs::create_directories(folder, ec);
  if (ec) return reasonOf(ec);
  if (fs::is_directory(target, ec))
    return reasonOf(std::make_error_code(std::errc::is_a_directory));

  // A name of its own beside the file, made here and nowhere else (O_EXCL), with the usual
  // permissions of a new file; an existing file keeps its own.
  fs::path temp;
  int fd = -1;
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  for (int attempt = 0; fd < 0; ++attempt) {
    std::string name = target.filename().string();
    name.insert(name.begin(), '.');
    for (const std::string& part : {std::to_string(stamp), std::to_string(attempt)})
      name += "." + part;
    name += ".new";
    temp = folder / name;
#ifdef _WIN32
    fd = ::_open(temp.string().c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                 _S_IREAD | _S_IWRITE);
#else
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
#endif
    if (fd < 0 && (errno != EEXIST || attempt == 100)) return reasonOf(lastError());
  }
#ifndef _WIN32
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
#endif
  ec = writeAll(fd, contents);
#ifdef _WIN32
  if (::_close(fd) != 0 && !ec) ec = lastError();
#else
  if (::close(fd) != 0 && !ec) ec = lastError();
#endif
  if (!ec) fs::rename(temp, target, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    return reasonOf(ec);
  }
#ifndef _WIN32
  // The new name itself is kept on the disk with its folder. The file is in place by now, so a
  // folder that cannot be flushed (some file systems refuse) does not undo the save.
  if (int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
#endif
  return std::nullopt;
}

}  // namespace rd::app
