// Win32 numeric constants the portable code hands to the toolkit.
// Kept here so the commands build without <windows.h>; the values are the
// platform's own and the Win32 toolkit passes them through unchanged.
#pragma once

#include <cstdint>

namespace romprog::win {

// Window styles
constexpr std::uint32_t kWsChild = 0x40000000;
constexpr std::uint32_t kWsVisible = 0x10000000;
constexpr std::uint32_t kWsCaption = 0x00C00000;
constexpr std::uint32_t kWsVScroll = 0x00200000;
constexpr std::uint32_t kWsBorder = 0x00800000;
constexpr std::uint32_t kWsGroup = 0x00020000;
constexpr std::uint32_t kWsTabStop = 0x00010000;
constexpr std::uint32_t kWsExClientEdge = 0x00000200;

// Buttons
constexpr std::uint32_t kBsPushButton = 0x0;
constexpr std::uint32_t kBsAutoCheckBox = 0x3;
constexpr std::uint32_t kBsGroupBox = 0x7;
constexpr std::uint32_t kBsPushLike = 0x1000;

// Combo boxes, statics, edits
constexpr std::uint32_t kCbsDropDownList = 0x3;
constexpr std::uint32_t kSsLeft = 0x0;
constexpr std::uint32_t kSsCenter = 0x1;
constexpr std::uint32_t kEsUpperCase = 0x8;
constexpr std::uint32_t kEsAutoHScroll = 0x80;
constexpr std::uint32_t kEsReadOnly = 0x800;

// List view
constexpr std::uint32_t kLvsReport = 0x1;
constexpr std::uint32_t kLvsSingleSel = 0x4;
constexpr std::uint32_t kLvsShareImageLists = 0x40;

// Progress bar
constexpr std::uint32_t kPbsSmooth = 0x1;

// Message boxes
constexpr unsigned kMbOk = 0x0;
constexpr unsigned kMbYesNo = 0x4;
constexpr unsigned kMbIconHand = 0x10;
constexpr unsigned kMbIconQuestion = 0x20;
constexpr unsigned kMbIconExclamation = 0x30;
constexpr unsigned kMbIconInformation = 0x40;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// File dialogs: OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR
constexpr std::uint32_t kFileDialogFlags = 0x0008080C;

}  // namespace romprog::win
