// Runs the built hcluster binary as a user would: arguments in, exit status, standard
// output and standard error out. Also a temporary folder for the files of one test.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#ifndef HCLUSTER_PATH
#error "HCLUSTER_PATH must name the hcluster binary"
#endif
#ifndef DEZ_EXAMPLES_DIR
#error "DEZ_EXAMPLES_DIR must name the examples folder"
#endif

extern char** environ;

namespace dez::cli::testing {

namespace fs = std::filesystem;

/// A bundled example file.
inline std::string Example(const std::string& name) { return (fs::path(DEZ_EXAMPLES_DIR) / name).string(); }

/// The whole content of a file ("" when it cannot be read).
inline std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// A fresh folder under the system's temporary folder, removed with its contents.
class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    path_ = fs::temp_directory_path() / ("dez_cli_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const fs::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

  /// Writes `bytes` to the file `name` here and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    const fs::path file = path_ / name;
    std::ofstream out(file, std::ios::binary);
    out << bytes;
    return file.string();
  }

 private:
  fs::path path_;
};

/// `text` with every "{dir}" replaced by the folder of `dir`.
inline std::string WithDir(std::string text, const TempDir& dir) {
  const std::string folder = dir.path().string();
  for (std::size_t at = text.find("{dir}"); at != std::string::npos; at = text.find("{dir}", at + folder.size())) {
    text.replace(at, 5, folder);
  }
  return text;
}

/// What one run of hcluster gave.
struct RunResult {
  int status = -1;  ///< exit status; 128 + signal number when killed by a signal
  std::string out;
  std::string err;
};

/// Runs hcluster with `args` (no shell), standard input from /dev/null, standard output
/// and standard error captured through files. Standard error is a file, never a terminal,
/// so no progress line is written, unless `errFd` names another place for it.
inline RunResult RunHcluster(const std::vector<std::string>& args, int errFd = -1) {
  TempDir capture;
  const std::string outPath = capture / "stdout";
  const std::string errPath = capture / "stderr";
  std::vector<std::string> words{HCLUSTER_PATH};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (errFd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, errFd, STDERR_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  pid_t pid = 0;
  RunResult result;
  const int spawned = posix_spawn(&pid, HCLUSTER_PATH, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    result.err = "posix_spawn failed";
    return result;
  }
  int wstatus = 0;
  while (::waitpid(pid, &wstatus, 0) < 0 && errno == EINTR) {
  }
  result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
  result.out = ReadAll(outPath);
  result.err = ReadAll(errPath);
  return result;
}

/// The lines of `text`, without their line breaks.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

/// True when `line` matches `pattern`, in which each "..." stands for any text.
inline bool LineMatches(const std::string& line, const std::string& pattern) {
  std::vector<std::string> pieces;
  for (std::size_t from = 0;;) {
    const std::size_t dots = pattern.find("...", from);
    pieces.push_back(pattern.substr(from, dots == std::string::npos ? std::string::npos : dots - from));
    if (dots == std::string::npos) break;
    from = dots + 3;
  }
  if (pieces.size() == 1) return line == pattern;
  if (line.compare(0, pieces.front().size(), pieces.front()) != 0) return false;
  std::size_t at = pieces.front().size();
  for (std::size_t k = 1; k + 1 < pieces.size(); ++k) {
    at = line.find(pieces[k], at);
    if (at == std::string::npos) return false;
    at += pieces[k].size();
  }
  const std::string& last = pieces.back();
  return line.size() >= at + last.size() && line.compare(line.size() - last.size(), last.size(), last) == 0;
}

/// True when a line of `text` matches `pattern` (see LineMatches).
inline bool HasLine(const std::string& text, const std::string& pattern) {
  for (const std::string& candidate : Lines(text)) {
    if (LineMatches(candidate, pattern)) return true;
  }
  return false;
}

}  // namespace dez::cli::testing
