// Runs the built hcluster binary as a user would: arguments in, exit status, standard
// output and standard error out. Also a temporary folder for the files of one test.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cerrno>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "tests/io/temp_dir.h"

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

using io::testing::FilesIn;
using io::testing::ReadAll;

/// A fresh folder under the system's temporary folder, removed with its contents, whose
/// paths are given as texts, ready to be arguments.
class TempDir : public io::testing::TempDir {
 public:
  std::string operator/(const std::string& name) const { return (path() / name).string(); }
  /// Writes `bytes` to the file `name` here and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    return io::testing::TempDir::Write(name, bytes).string();
  }
};

/// `rows` lines of two numbers each, as CSV; no two alike up to 9,797 rows.
inline std::string MetricRows(int rows) {
  std::string text;
  for (int i = 0; i < rows; ++i) text += std::to_string(i % 97) + "," + std::to_string((i * 7) % 101) + "\n";
  return text;
}

/// `text` with every `from` replaced by `to`.
inline std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

/// `text` with every "{dir}" replaced by the folder of `dir`.
inline std::string WithDir(const std::string& text, const TempDir& dir) { return Replace(text, "{dir}", dir.path().string()); }

/// What one run of hcluster gave.
struct RunResult {
  int status = -1;  ///< exit status; 128 + signal number when killed by a signal
  std::string out;
  std::string err;
};

/// Exit status of a run meant for user nobody that could not be made as that user.
constexpr int kCannotRunAsNobody = 125;

/// Runs hcluster with `args` (no shell), standard input from /dev/null, standard output
/// and standard error captured through files. Standard error is a file, never a terminal,
/// so no progress line is written, unless `errFd` names another place for it. With
/// `asNobody` the run is made as user and group 65534: the superuser may read any file.
inline RunResult RunHcluster(const std::vector<std::string>& args, int errFd = -1, bool asNobody = false) {
  TempDir capture;
  const std::string outPath = capture / "stdout";
  const std::string errPath = capture / "stderr";
  std::vector<std::string> words{HCLUSTER_PATH};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  RunResult result;
  const pid_t pid = ::fork();
  if (pid == 0) {  // only async-signal-safe calls until exec
    const int in = ::open("/dev/null", O_RDONLY);
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = errFd >= 0 ? errFd : ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0) ::_exit(kCannotRunAsNobody);
    ::dup2(in, STDIN_FILENO);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    if (asNobody && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(kCannotRunAsNobody);
    ::execve(HCLUSTER_PATH, argv.data(), environ);
    ::_exit(kCannotRunAsNobody);
  }
  if (pid < 0) return result;
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
inline bool LineMatches(std::string_view line, std::string_view pattern) {
  const std::size_t dots = pattern.find("...");
  if (dots == std::string_view::npos) return line == pattern;
  if (!line.starts_with(pattern.substr(0, dots))) return false;
  for (std::size_t at = dots; at <= line.size(); ++at) {
    if (LineMatches(line.substr(at), pattern.substr(dots + 3))) return true;
  }
  return false;
}

/// True when a line of `text` matches `pattern` (see LineMatches).
inline bool HasLine(const std::string& text, const std::string& pattern) {
  for (const std::string& candidate : Lines(text)) {
    if (LineMatches(candidate, pattern)) return true;
  }
  return false;
}

/// The leaves of the JSON text `json`, read by Python's json module, which refuses what
/// is not JSON: path (keys and indices joined by '.') -> a string's text, or a number as
/// Python's repr (the shortest text that reads back to the same double), true, false or
/// null. "keys" lists the top object's keys in order; "error" tells a refusal.
inline std::map<std::string, std::string> JsonLeaves(const std::string& json) {
  TempDir dir;
  dir.Write("in.json", json);
  dir.Write("leaves.py", R"PY(import json, sys
def refuse(constant): raise ValueError(constant)
def walk(path, v):
    if isinstance(v, (dict, list)):
        for k, x in (v.items() if isinstance(v, dict) else enumerate(v)): walk(path + [str(k)], x)
    else: print(".".join(path) + "=" + (v if isinstance(v, str) else json.dumps(v)))
top = json.load(open(sys.argv[1], encoding="utf-8"), parse_constant=refuse)
sys.stdout.reconfigure(encoding="utf-8")
print("keys=" + ",".join(top)); walk([], top)
)PY");
  std::map<std::string, std::string> leaves;
  if (std::system(("python3 " + dir / "leaves.py" + " " + dir / "in.json" + " >" + dir / "out 2>&1").c_str()) != 0) {
    leaves["error"] = ReadAll(dir / "out");
  }
  for (const std::string& line : Lines(ReadAll(dir / "out"))) {
    const std::size_t at = line.find('=');
    if (at != std::string::npos) leaves[line.substr(0, at)] = line.substr(at + 1);
  }
  return leaves;
}

}  // namespace dez::cli::testing
