// The texts that name the program: the main window's caption, the about
// box's two lines and its menu entry.
#pragma once

namespace kt9 {

inline constexpr const char* kProgramName = "KT-9 Assistant";
inline constexpr const char* kProgramVersion = KT9_VERSION;
inline constexpr const char* kMainCaption = "KT-9 Assistant " KT9_VERSION;
inline constexpr const char* kAboutNameLine = "KT-9 Assistant, Version " KT9_VERSION;
inline constexpr const char* kAboutMakerLine = "Copyright (C) Norvane";
inline constexpr const char* kAboutMenuText = "&About KT-9 Assistant...";

}  // namespace kt9
