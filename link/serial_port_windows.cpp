// The serial port on Windows: the driver's own time-out block does the
// link's time-out rules.
#include <windows.h>

#include "link/serial_port.h"

namespace kt9 {
namespace {

// The pedal's line: the flag word loses fOutxDsrFlow, fDtrControl,
// fDsrSensitivity, fTXContinueOnXoff, fOutX, fInX, fErrorChar and fRtsControl
// (mask 0x37F8) and gains fAbortOnError (0x4000); fBinary, fParity,
// fOutxCtsFlow and fNull keep the driver's values. The flag word is a bit
// field, so it is reached through the DCB's member names.
void SetPedalLine(DCB& dcb) {
  dcb.BaudRate = CBR_115200;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDtrControl = DTR_CONTROL_DISABLE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fTXContinueOnXoff = FALSE;
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  dcb.fErrorChar = FALSE;
  dcb.fRtsControl = RTS_CONTROL_DISABLE;
  dcb.fAbortOnError = TRUE;
}

DWORD Millis(std::chrono::milliseconds value) { return static_cast<DWORD>(value.count()); }

class WindowsSerialPort : public SerialPort {
 public:
  explicit WindowsSerialPort(HANDLE handle) : handle_(handle) {}
  ~WindowsSerialPort() override { CloseHandle(handle_); }

  bool Configure() override {
    if (!SetupComm(handle_, Communicator::kQueueSize, Communicator::kQueueSize)) return false;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle_, &dcb)) return false;
    SetPedalLine(dcb);
    return SetCommState(handle_, &dcb) != 0;
  }

  bool SetTimeouts(std::optional<LinkTimeouts> timeouts) override {
    COMMTIMEOUTS block{};
    if (!GetCommTimeouts(handle_, &block)) return false;
    if (timeouts) {
      block.ReadIntervalTimeout = Millis(timeouts->interByte);
      block.ReadTotalTimeoutMultiplier = Millis(timeouts->perByte);
      block.ReadTotalTimeoutConstant = Millis(timeouts->constant);
      block.WriteTotalTimeoutMultiplier = Millis(timeouts->perByte);
      block.WriteTotalTimeoutConstant = Millis(timeouts->constant);
    } else {
      // Return at once with whatever is buffered; write time-outs as they were.
      block.ReadIntervalTimeout = MAXDWORD;
      block.ReadTotalTimeoutMultiplier = 0;
      block.ReadTotalTimeoutConstant = 0;
    }
    return SetCommTimeouts(handle_, &block) != 0;
  }

  bool Read(std::size_t count, std::vector<uint8_t>& out) override {
    out.assign(count, 0);
    DWORD got = 0;
    const BOOL ok = ReadFile(handle_, out.data(), static_cast<DWORD>(count), &got, nullptr);
    out.resize(ok ? got : 0);
    return ok != 0;
  }

  bool Write(const uint8_t* data, std::size_t count) override {
    DWORD put = 0;
    return WriteFile(handle_, data, static_cast<DWORD>(count), &put, nullptr) != 0;
  }

 private:
  HANDLE handle_;
};

std::wstring Widen(const std::string& text) {
  if (text.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

PortOpenError ErrorKind(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return PortOpenError::kMissing;
    case ERROR_SHARING_VIOLATION:
      return PortOpenError::kBusy;
    case ERROR_ACCESS_DENIED:
      return PortOpenError::kBusy;  // a COM port already open elsewhere answers this
    default:
      return PortOpenError::kOther;
  }
}

}  // namespace

PortOpenResult OpenSerialPort(const std::string& name) {
  // Ports from COM10 on open only through the device namespace; the prefix is
  // harmless for the others.
  const std::string path = name.rfind("\\\\", 0) == 0 ? name : "\\\\.\\" + name;
  HANDLE handle = CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  PortOpenResult result;
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    result.error = ErrorKind(error);
    result.detail = "Windows error " + std::to_string(error);
    return result;
  }
  result.port = std::make_unique<WindowsSerialPort>(handle);
  return result;
}

}  // namespace kt9
