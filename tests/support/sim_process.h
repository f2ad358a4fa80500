// Test helpers for everything that talks to a pedal: kt9-sim as a child
// process, a bare in-test peer on a pseudo-terminal, fast link options and a
// temporary folder. Library target: kt9testsupport.
//
//   kt9::test::SimProcess sim({"--memory", dir.File("pedal.bin"), "--fault", "no-answer:read@0x1400"});
//   ASSERT_TRUE(sim.Started());
//   kt9::Communicator link(kt9::test::FastLinkOptions(sim.Port()));
//   ASSERT_TRUE(link.Open());
//   ...
//   sim.Stop();  // or let the destructor do it; the memory file is saved on exit
//   auto memory = kt9::test::ReadFileBytes(dir.File("pedal.bin"));
//
// kt9-sim's own options are listed by `kt9-sim --help` (faults:
// --fault KIND[:REQUEST][@N | @0xADDR], repeatable).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "link/communicator.h"

namespace kt9::test {

// kt9-sim started with `args`; it is stopped (SIGTERM, then waited for) by
// Stop() or the destructor.
class SimProcess {
 public:
  explicit SimProcess(std::vector<std::string> args = {});
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // True once the simulator printed its terminal's path.
  bool Started() const { return !port_.empty(); }
  // The path of the terminal side: what the Communicator opens.
  const std::string& Port() const { return port_; }
  pid_t Pid() const { return pid_; }
  // SIGTERM and wait; the exit status (-1 when it was not running, 128 + n
  // when killed by signal n). The simulator saves its memory file on the way.
  int Stop();

  // The kt9-sim binary this build made.
  static std::string Binary();

 private:
  pid_t pid_ = -1;
  int stdoutFd_ = -1;
  std::string port_;
};

// Link options for tests: the given port, short time-outs (inter-byte 30 ms,
// 1 ms a byte + 60 ms) and near-zero pauses (busy limit 500 ms). A test that
// checks the real values uses LinkOptions{} with its port set.
LinkOptions FastLinkOptions(const std::string& port);

// FastLinkOptions for the bootloader: silence costs one read's total time-out
// per attempt, so that is kept short (300 ms); the simulator answers at once,
// so a reply is never near it.
LinkOptions BootLinkOptions(const std::string& port);

// A bare peer on a pseudo-terminal, for cases kt9-sim does not script: the
// test plays the pedal byte by byte.
class PtyPeer {
 public:
  PtyPeer();  // Path() is empty when the pty could not be made
  ~PtyPeer();
  PtyPeer(const PtyPeer&) = delete;
  PtyPeer& operator=(const PtyPeer&) = delete;

  const std::string& Path() const { return path_; }
  bool Send(const std::vector<uint8_t>& bytes);
  // Up to `count` bytes, or what came before `timeout` ran out.
  std::vector<uint8_t> Receive(std::size_t count, std::chrono::milliseconds timeout);
  // Drops the line (closes the master side): the PC's reads fail from now on.
  void HangUp();

 private:
  int master_ = -1;
  int terminal_ = -1;  // kept open so the PC can close and reopen
  std::string path_;
};

// A fresh folder under the system's temporary folder, removed with its
// contents at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// The whole file (empty when it cannot be read).
std::vector<uint8_t> ReadFileBytes(const std::string& path);

// The file's lines, without their line ends (a simulator's request log).
std::vector<std::string> ReadLines(const std::string& path);

// A shell command run to its end: its exit status (-1 when it did not exit
// normally) and what it wrote to standard output.
struct ToolRun {
  int status = -1;
  std::string output;
};
ToolRun RunCommand(const std::string& command);

}  // namespace kt9::test
