#include "tests/support/sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace kt9::test {
namespace {

// The first line the child prints, within `timeout`.
std::string ReadFirstLine(int fd, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::string line;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return {};
    pollfd pfd{fd, POLLIN, 0};
    if (poll(&pfd, 1, static_cast<int>(left.count())) <= 0) continue;
    char c = 0;
    const ssize_t got = read(fd, &c, 1);
    if (got <= 0) return {};
    if (c == '\n') return line;
    line += c;
  }
}

}  // namespace

std::string SimProcess::Binary() { return KT9_SIM_BINARY; }

SimProcess::SimProcess(std::vector<std::string> args) {
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return;
  std::vector<std::string> argvStrings{Binary()};
  argvStrings.insert(argvStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argvStrings) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_ = fork();
  if (pid_ == 0) {
    dup2(pipeFds[1], STDOUT_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(pipeFds[1]);
  stdoutFd_ = pipeFds[0];
  if (pid_ < 0) return;
  port_ = ReadFirstLine(stdoutFd_, std::chrono::seconds(5));
}

SimProcess::~SimProcess() { Stop(); }

int SimProcess::Stop() {
  if (stdoutFd_ >= 0) close(stdoutFd_);
  stdoutFd_ = -1;
  if (pid_ <= 0) return -1;
  kill(pid_, SIGTERM);
  int status = 0;
  while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
  port_.clear();
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}

LinkOptions FastLinkOptions(const std::string& port) {
  using std::chrono::milliseconds;
  LinkOptions options;
  options.port = port;
  options.timeouts = {milliseconds(30), milliseconds(1), milliseconds(60)};
  options.pacing.afterRequest = milliseconds(0);
  options.pacing.afterSystemWrite = milliseconds(0);
  options.pacing.betweenBusyPolls = milliseconds(1);
  options.pacing.betweenEmptyAcks = milliseconds(1);
  options.pacing.busyLimit = milliseconds(500);
  return options;
}

LinkOptions BootLinkOptions(const std::string& port) {
  LinkOptions options = FastLinkOptions(port);
  options.timeouts.perByte = std::chrono::milliseconds(0);
  options.timeouts.constant = std::chrono::milliseconds(300);
  return options;
}

PtyPeer::PtyPeer() {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
  const char* name = ptsname(master_);
  if (name == nullptr) return;
  terminal_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios tio{};
  if (terminal_ < 0 || tcgetattr(terminal_, &tio) != 0) return;
  cfmakeraw(&tio);
  if (tcsetattr(terminal_, TCSANOW, &tio) != 0) return;
  path_ = name;
}

PtyPeer::~PtyPeer() {
  HangUp();
  if (terminal_ >= 0) close(terminal_);
}

bool PtyPeer::Send(const std::vector<uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = write(master_, bytes.data() + done, bytes.size() - done);
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return true;
}

std::vector<uint8_t> PtyPeer::Receive(std::size_t count, std::chrono::milliseconds timeout) {
  std::vector<uint8_t> bytes;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (bytes.size() < count && master_ >= 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd pfd{master_, POLLIN, 0};
    if (poll(&pfd, 1, static_cast<int>(left.count())) <= 0) continue;
    uint8_t buffer[4096];
    const ssize_t got = read(master_, buffer, std::min(sizeof buffer, count - bytes.size()));
    if (got <= 0) break;
    bytes.insert(bytes.end(), buffer, buffer + got);
  }
  return bytes;
}

void PtyPeer::HangUp() {
  if (master_ >= 0) close(master_);
  master_ = -1;
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kt9-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code error;
  if (!path_.empty()) std::filesystem::remove_all(path_, error);
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

ToolRun RunCommand(const std::string& command) {
  ToolRun run;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) run.output += buffer;
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace kt9::test
