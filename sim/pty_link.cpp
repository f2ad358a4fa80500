#include "sim/pty_link.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <thread>

namespace kt9::sim {

PtyLink::~PtyLink() {
  if (master_ >= 0) close(master_);
  if (terminal_ >= 0) close(terminal_);
}

bool PtyLink::Create() {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return false;
  const char* name = ptsname(master_);
  if (name == nullptr) return false;
  terminalPath_ = name;
  terminal_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (terminal_ < 0) return false;
  termios tio{};
  if (tcgetattr(terminal_, &tio) != 0) return false;
  cfmakeraw(&tio);
  cfsetispeed(&tio, B115200);
  cfsetospeed(&tio, B115200);
  return tcsetattr(terminal_, TCSANOW, &tio) == 0;
}

std::vector<uint8_t> PtyLink::Receive(std::chrono::milliseconds timeout) {
  std::vector<uint8_t> bytes;
  if (master_ < 0) {
    std::this_thread::sleep_for(timeout);
    return bytes;
  }
  pollfd pfd{master_, POLLIN, 0};
  if (poll(&pfd, 1, static_cast<int>(timeout.count())) <= 0 || (pfd.revents & POLLIN) == 0) return bytes;
  uint8_t buffer[4096];
  const ssize_t got = read(master_, buffer, sizeof buffer);
  if (got > 0) bytes.assign(buffer, buffer + got);
  return bytes;
}

bool PtyLink::WriteAll(const uint8_t* data, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    if (master_ < 0 || stop_) return false;
    const ssize_t put = write(master_, data + done, count - done);
    if (put > 0) {
      done += static_cast<std::size_t>(put);
      continue;
    }
    if (put < 0 && errno != EAGAIN && errno != EINTR) return false;
    // The PC is not reading: wait for room, but keep an eye on the stop flag.
    pollfd pfd{master_, POLLOUT, 0};
    poll(&pfd, 1, 50);
  }
  return true;
}

bool PtyLink::Send(std::span<const uint8_t> bytes) {
  if (baud_ == 0) return WriteAll(bytes.data(), bytes.size());
  // Small slices on a clock: the PC sees bytes arrive as from a real line,
  // with no gap anywhere near its inter-byte time-out.
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  const std::size_t slice = std::max<std::size_t>(1, baud_ / 10 / 1000);  // about a millisecond's worth
  for (std::size_t sent = 0; sent < bytes.size();) {
    const std::size_t count = std::min(slice, bytes.size() - sent);
    if (!WriteAll(bytes.data() + sent, count)) return false;
    sent += count;
    const auto due = start + std::chrono::microseconds(sent * 10'000'000ULL / baud_);
    std::this_thread::sleep_until(due);
  }
  return true;
}

void PtyLink::Pause(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

void PtyLink::HangUp() {
  if (master_ >= 0) close(master_);
  master_ = -1;
}

}  // namespace kt9::sim
