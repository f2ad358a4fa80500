// Linux port discovery over a made-up /sys/class/tty.
#include <gtest/gtest.h>

#include <filesystem>

#include "link/port_list_linux.h"
#include "tests/support/sim_process.h"

namespace kt9 {
namespace {

namespace fs = std::filesystem;

void AddTty(const fs::path& root, const std::string& name, const std::string& driver) {
  fs::create_directories(root / "class" / name);
  if (driver.empty()) return;  // a virtual terminal: no device behind it
  const fs::path device = root / "devices" / name;
  fs::create_directories(device);
  fs::create_directories(root / "drivers" / driver);
  fs::create_symlink(root / "drivers" / driver, device / "driver");
  fs::create_symlink(device, root / "class" / name / "device");
}

TEST(PortList, ListsDriverBoundTtysInNaturalOrderAndFindsTheAcmOne) {
  test::TempDir dir;
  const fs::path root = dir.Path();
  AddTty(root, "ttyS0", "serial8250");
  AddTty(root, "ttyACM10", "cdc_acm");
  AddTty(root, "ttyACM2", "cdc_acm");
  AddTty(root, "tty1", "");
  AddTty(root, "ttyUSB0", "ftdi_sio");

  const std::vector<SerialDevice> devices = ListTtyDevices(root / "class", "/dev");
  std::vector<std::string> seen;
  for (const SerialDevice& d : devices) seen.push_back(d.portName + " " + d.deviceName);
  EXPECT_EQ(seen, (std::vector<std::string>{"/dev/ttyACM2 cdc_acm", "/dev/ttyACM10 cdc_acm", "/dev/ttyS0 serial8250",
                                            "/dev/ttyUSB0 ftdi_sio"}));
  const auto pedal = FindPedalDevice(devices);
  ASSERT_TRUE(pedal.has_value());
  EXPECT_EQ(pedal->portName, "/dev/ttyACM2");

  EXPECT_FALSE(FindPedalDevice({{"serial8250", "/dev/ttyS0"}, {"CDC_ACM", "/dev/ttyX"}}).has_value());
  EXPECT_TRUE(ListTtyDevices(root / "missing", "/dev").empty());
}

}  // namespace
}  // namespace kt9
