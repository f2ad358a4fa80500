#include "firmware/config_words.h"

#include <cstdio>

namespace kt9 {

namespace {

// DSWDTPS: the deep-sleep watchdog postscaler, listed from the longest
// period (value 0xF) down to the shortest (0x0).
ConfigField DeepSleepWatchdogPostscaler() {
  static constexpr const char* kPeriods[16] = {
      "25.7 days", "6.4 days", "38.5 hours", "9.6 hours", "2.4 hours", "36 minutes", "9 minutes", "135 sec",
      "34 sec",    "8.5 sec",  "2.1 sec",    "528 ms",    "132 ms",    "33 ms",      "8.3 ms",    "2.1 ms"};
  ConfigField field{"DSWDTPS", {}};
  for (uint32_t k = 0; k < 16; ++k) field.settings.push_back({kPeriods[k], 0xF - k});
  return field;
}

// WPFP: the write-protected flash page, in steps of one 0x200-word page.
ConfigField ProtectedPage() {
  ConfigField field{"WPFP", {}};
  for (uint32_t k = 0; k < 32; ++k) {
    char text[40];
    std::snprintf(text, sizeof text, "Protected page address 0x%06X", static_cast<unsigned>(k * 0x200));
    field.settings.push_back({text, k});
  }
  return field;
}

// WDTPOST: the watchdog postscaler, 1:1 up to 1:32768.
ConfigField WatchdogPostscaler() {
  ConfigField field{"WDTPOST", {}};
  for (uint32_t k = 0; k < 16; ++k) field.settings.push_back({"1:" + std::to_string(1u << k), k});
  return field;
}

ConfigWord Cw4() {
  return {"CW4",
          {
              {"DSWDTEN", {{"Enabled", 0x80}, {"Disabled", 0x00}}},
              {"DSLPBOREN", {{"Enabled", 0x40}, {"Disabled", 0x00}}},
              {"RTCOSC", {{"SOSC", 0x20}, {"LPRC", 0x00}}},
              {"DSWCKSEL", {{"LPRC", 0x10}, {"SOSC", 0x00}}},
              DeepSleepWatchdogPostscaler(),
          }};
}

ConfigWord Cw3() {
  return {"CW3",
          {
              ProtectedPage(),
              {"SOSCSEL",
               {{"SOSC pins are in default (high drive strength) oscillator mode", 0x300},
                {"SOSC pins are in Low-Power (low drive strength) Oscillator mode", 0x100},
                {"SOSC pins have digital I/O functions (RA4, RB4); SCLKI can be used", 0x000}}},
              {"WUTSEL",
               {{"Default regulator start-up time is used", 0xC00}, {"Fast regulator start-up time is used", 0x400}}},
              {"WPDIS",
               {{"Segmented code protection is disabled", 0x2000},
                {"Segmented code protection is enabled; protected segment is defined by WPEND, WPCFG and WPFPx "
                 "Configuration bits",
                 0x0000}}},
              {"WPCFG",
               {{"Last page (at the top of program memory) and Flash Configuration Words are not protected", 0x4000},
                {"Last page and Flash Configuration Words are code-protected", 0x0000}}},
              {"WPEND",
               {{"Protected code segment lower boundary is at the bottom of program memory (000000h); upper "
                 "boundary is the code page specified by WPFP",
                 0x8000},
                {"Protected code segment upper boundary is at the last page of program memory; lower boundary is "
                 "the code page specified by WPFP",
                 0x0000}}},
          }};
}

ConfigWord Cw2() {
  return {"CW2",
          {
              {"POSCMD", {{"EC", 0}, {"XT", 1}, {"HS", 2}, {"Off", 3}}},
              {"I2C1SEL", {{"Alternate", 0}, {"Default", 4}}},
              {"IOL1WAY", {{"Multiple reconfigurations", 0x00}, {"One reconfiguration", 0x10}}},
              {"OSCIOFNC", {{"IO", 0x00}, {"Clock", 0x20}}},
              // The chip's own table names 0x80 and 0xC0 alike; both are kept.
              {"FCKSM",
               {{"Switching on, monitor on", 0x00},
                {"Switching on, monitor off", 0x40},
                {"Switching off, monitor off", 0x80},
                {"Switching off, monitor off", 0xC0}}},
              {"FNOSC",
               {{"FRC - Fast RC Oscillator", 0x000},
                {"FRCPLL - Fast RC Oscillator with Postscaler and PLL module", 0x100},
                {"PRIMARY - Primary Oscillator (XT, HS, EC)", 0x200},
                {"PRIMARY PLL - Primary Oscillator with PLL module", 0x300},
                {"SOSC - Secondary Oscillator", 0x400},
                {"LPRC - Low-Power RC Oscillator", 0x500},
                {"invalid", 0x600},
                {"FRCDIV - Fast RC Oscillator with Postscaler", 0x700}}},
              {"PLL96MHZ",
               {{"96 MHz PLL is enabled automatically on start-up", 0x800},
                {"96 MHz PLL is enabled by user in software (controlled with the PLLEN bit in CLKDIV:5:)", 0x000}}},
              {"PLLDIV",
               {{"Oscillator input divided by 12 (48 MHz input)", 0x7000},
                {"Oscillator input divided by 8 (32 MHz input)", 0x6000},
                {"Oscillator input divided by 6 (24 MHz input)", 0x5000},
                {"Oscillator input divided by 5 (20 MHz input)", 0x4000},
                {"Oscillator input divided by 4 (16 MHz input)", 0x3000},
                {"Oscillator input divided by 3 (12 MHz input)", 0x2000},
                {"Oscillator input divided by 2 (8 MHz input)", 0x1000},
                {"Oscillator input used directly (4 MHz input)", 0x0000}}},
              {"IESO", {{"Off", 0x0000}, {"On", 0x8000}}},
          }};
}

ConfigWord Cw1() {
  return {"CW1",
          {
              WatchdogPostscaler(),
              {"WDTPRE", {{"1:32", 0x00}, {"1:128", 0x10}}},
              {"WINDIS", {{"On", 0x00}, {"Off", 0x40}}},
              {"FWDTEN", {{"Software", 0x00}, {"On", 0x80}}},
              {"ICS", {{"invalid", 0x000}, {"EMUC3, EMUD3", 0x100}, {"EMUC2, EMUD2", 0x200}, {"EMUC1, EMUD1", 0x300}}},
              {"DEBUG", {{"On", 0x000}, {"Off", 0x800}}},
              {"GWRP", {{"All", 0x0000}, {"Off", 0x1000}}},
              {"GCP", {{"All", 0x0000}, {"Off", 0x2000}}},
              {"JTAGEN", {{"Off", 0x0000}, {"On", 0x4000}}},
          }};
}

}  // namespace

std::vector<ConfigWord> ConfigWordTable() { return {Cw4(), Cw3(), Cw2(), Cw1()}; }

}  // namespace kt9
