// The serial port on POSIX systems: termios raw 115200 8N1 and poll-based
// reads that keep the link's time-out rules exactly (VMIN/VTIME cannot: they
// count in tenths of a second and have no overall limit).
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "link/serial_port.h"

namespace kt9 {
namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

class PosixSerialPort : public SerialPort {
 public:
  explicit PosixSerialPort(int fd) : fd_(fd) {}
  ~PosixSerialPort() override {
    // The exclusive flag lives on the terminal, not on this descriptor: clear
    // it, or the port stays closed to everyone else while any other
    // descriptor of it (a simulator's own, for one) remains open.
    ioctl(fd_, TIOCNXCL);
    flock(fd_, LOCK_UN);
    close(fd_);
  }

  bool Configure() override {
    termios tio{};
    if (tcgetattr(fd_, &tio) != 0) return false;
    cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, B115200);
    cfsetospeed(&tio, B115200);
    if (tcsetattr(fd_, TCSANOW, &tio) != 0) return false;
    // The pedal runs without handshake lines. A pseudo-terminal has no modem
    // lines at all (ENOTTY): nothing to lower there.
    int lines = TIOCM_DTR | TIOCM_RTS;
    if (ioctl(fd_, TIOCMBIC, &lines) != 0 && errno != ENOTTY && errno != EINVAL) return false;
    return true;
  }

  bool SetTimeouts(std::optional<LinkTimeouts> timeouts) override {
    timeouts_ = timeouts;
    return true;
  }

  bool Read(std::size_t count, std::vector<uint8_t>& out) override {
    out.clear();
    if (!timeouts_) return Drain(count, out);
    const auto start = Clock::now();
    const auto total = start + timeouts_->perByte * static_cast<long>(count) + timeouts_->constant;
    auto deadline = total;
    while (out.size() < count) {
      const int wait = MillisecondsUntil(deadline);
      pollfd pfd{fd_, POLLIN, 0};
      const int ready = poll(&pfd, 1, wait);
      if (ready < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      if (ready == 0) return true;  // time-out: what came so far
      if ((pfd.revents & POLLIN) == 0) return false;  // hung up or in error, nothing to read
      uint8_t buffer[Communicator::kQueueSize];
      const ssize_t got = read(fd_, buffer, std::min(sizeof buffer, count - out.size()));
      if (got < 0) {
        if (errno == EINTR || errno == EAGAIN) continue;
        return false;  // EIO: the device went away
      }
      if (got == 0) return false;  // end of file: hung up
      out.insert(out.end(), buffer, buffer + got);
      const auto gapEnd = Clock::now() + timeouts_->interByte;
      deadline = std::min(total, gapEnd);
    }
    return true;
  }

  bool Write(const uint8_t* data, std::size_t count) override {
    const LinkTimeouts limits = timeouts_.value_or(LinkTimeouts{});
    const auto deadline = Clock::now() + limits.perByte * static_cast<long>(count) + limits.constant;
    std::size_t done = 0;
    while (done < count) {
      const ssize_t put = write(fd_, data + done, count - done);
      if (put > 0) {
        done += static_cast<std::size_t>(put);
        continue;
      }
      if (put < 0 && errno != EAGAIN && errno != EINTR) return false;
      pollfd pfd{fd_, POLLOUT, 0};
      const int ready = poll(&pfd, 1, MillisecondsUntil(deadline));
      if (ready == 0) return false;
      if (ready > 0 && (pfd.revents & (POLLHUP | POLLERR)) != 0) return false;
    }
    return true;
  }

 private:
  // Whatever is buffered right now, without waiting. With VMIN and VTIME at
  // 0 a read of an empty queue gives 0, so poll tells a hang-up apart.
  bool Drain(std::size_t count, std::vector<uint8_t>& out) {
    uint8_t buffer[Communicator::kQueueSize];
    while (out.size() < count) {
      pollfd pfd{fd_, POLLIN, 0};
      const int ready = poll(&pfd, 1, 0);
      if (ready < 0 && errno == EINTR) continue;
      if (ready < 0) return false;
      if (ready == 0) return true;
      if ((pfd.revents & POLLIN) == 0) return false;
      const ssize_t got = read(fd_, buffer, std::min(sizeof buffer, count - out.size()));
      if (got > 0) {
        out.insert(out.end(), buffer, buffer + got);
        continue;
      }
      if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      return false;
    }
    return true;
  }

  int fd_;
  std::optional<LinkTimeouts> timeouts_;
};

PortOpenError ErrorKind(int error) {
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return PortOpenError::kMissing;
    case EBUSY:
    case EWOULDBLOCK:
      return PortOpenError::kBusy;
    case EACCES:
    case EPERM:
      return PortOpenError::kNoPermission;
    default:
      return PortOpenError::kOther;
  }
}

PortOpenResult Failure(int error) {
  PortOpenResult result;
  result.error = ErrorKind(error);
  result.detail = std::strerror(error);
  return result;
}

}  // namespace

PortOpenResult OpenSerialPort(const std::string& name) {
  const int fd = open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Failure(errno);
  // TIOCEXCL keeps other programs out, but root passes it; the advisory lock
  // holds against every program that asks for it, root included.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    close(fd);
    return Failure(error);
  }
  if (isatty(fd) == 0) {
    const int error = errno;
    flock(fd, LOCK_UN);
    close(fd);
    return Failure(error);
  }
  ioctl(fd, TIOCEXCL);
  PortOpenResult result;
  result.port = std::make_unique<PosixSerialPort>(fd);
  return result;
}

}  // namespace kt9
