#include "cli/input_walker.h"

#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace tamsel::cli {
namespace {

bool MatchesAny(const std::vector<std::string>& globs, const std::string& name) {
  for (const std::string& glob : globs) {
    if (::fnmatch(glob.c_str(), name.c_str(), FNM_CASEFOLD) == 0) return true;
  }
  return false;
}

Input Failure(std::filesystem::path path, std::string cause) {
  return {Input::Kind::kFailure, std::move(path), std::move(cause)};
}

std::string ErrnoText(int err) { return std::error_code(err, std::system_category()).message(); }

}  // namespace

bool InputWalker::Wanted(const std::filesystem::path& file) const {
  const std::string name = file.filename().native();
  if (!options_.includes.empty() && !MatchesAny(options_.includes, name)) return false;
  return !MatchesAny(options_.excludes, name);
}

void InputWalker::Expand(const std::filesystem::path& path, bool from_command_line, const InputSink& emit) {
  if (from_command_line && path == "-") {
    emit({Input::Kind::kStandardInput, path, {}});
    return;
  }
  struct stat st {};
  const bool is_dir = ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  if (!is_dir) {
    // The scan itself says why a path that is no regular file cannot be read.
    emit({Input::Kind::kFile, path, {}});
  } else if (!options_.recursive) {
    emit(Failure(path, "not a regular file (directory); -r scans the files in it"));
  } else {
    open_dirs_.clear();
    open_dirs_.emplace_back(st.st_dev, st.st_ino);
    Walk(path, emit);
  }
}

void InputWalker::Walk(const std::filesystem::path& dir, const InputSink& emit) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::directory_iterator it(dir, ec);
  if (ec) {
    emit(Failure(dir, ec.message()));
    return;
  }
  std::vector<fs::directory_entry> entries;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    entries.push_back(*it);
  }
  if (ec) {
    emit(Failure(dir, ec.message()));
    return;
  }
  std::sort(entries.begin(), entries.end(),
            [](const fs::directory_entry& a, const fs::directory_entry& b) {
              return a.path().filename().native() < b.path().filename().native();
            });

  for (const fs::directory_entry& entry : entries) {
    const fs::path& path = entry.path();
    // The entry's own type, from the directory where it can be had.
    const fs::file_type own = entry.symlink_status(ec).type();
    if (ec) {
      emit(Failure(path, ec.message()));
      continue;
    }
    if (own == fs::file_type::regular) {
      if (Wanted(path)) emit({Input::Kind::kFile, path, {}});
      continue;
    }
    if (own == fs::file_type::directory) {
      // Only followed links can close a circle; without them the walk
      // needs no identities.
      struct stat st {};
      if (options_.follow_links && ::lstat(path.c_str(), &st) != 0) {
        emit(Failure(path, ErrnoText(errno)));
        continue;
      }
      open_dirs_.emplace_back(st.st_dev, st.st_ino);
      Walk(path, emit);
      open_dirs_.pop_back();
      continue;
    }
    if (own != fs::file_type::symlink) {
      ++skipped_;
      continue;
    }
    // A symbolic link: what it leads to decides.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
      emit(Failure(path, ErrnoText(errno)));  // a broken link is worth knowing of
      continue;
    }
    if (S_ISREG(st.st_mode)) {
      if (Wanted(path)) emit({Input::Kind::kFile, path, {}});
    } else if (S_ISDIR(st.st_mode) && options_.follow_links) {
      const std::pair<dev_t, ino_t> id(st.st_dev, st.st_ino);
      if (std::find(open_dirs_.begin(), open_dirs_.end(), id) != open_dirs_.end()) {
        emit(Failure(path, "link to a directory that contains it; not followed"));
        continue;
      }
      open_dirs_.push_back(id);
      Walk(path, emit);
      open_dirs_.pop_back();
    } else {
      ++skipped_;
    }
  }
}

void ReadNameList(ByteSource& source, const std::function<void(std::string)>& each) {
  std::string name;
  std::uint8_t buffer[64 * 1024];
  for (;;) {
    const std::size_t n = source.Read(buffer);
    if (n == 0) break;
    for (std::size_t i = 0; i < n; ++i) {
      if (buffer[i] == 0) {
        if (!name.empty()) each(std::move(name));
        name.clear();
      } else {
        name.push_back(static_cast<char>(buffer[i]));
      }
    }
  }
  if (!name.empty()) each(std::move(name));
}

}  // namespace tamsel::cli
