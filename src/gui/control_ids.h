// Control ids, unique across both windows.
#pragma once

namespace romprog::id {

// Control window
constexpr int kFileFrame = 0;
constexpr int kOpenFile = 1;
constexpr int kSaveFile = 2;
constexpr int kChipFrame = 3;
constexpr int kBlankCheck = 4;
constexpr int kWriteChip = 5;
constexpr int kReadChip = 6;
constexpr int kCompareChip = 7;
constexpr int kPortSelector = 8;
constexpr int kChipSelector = 9;
constexpr int kAddressLabel = 10;
constexpr int kStatusAddress = 11;
constexpr int kStatusValue = 12;
constexpr int kProgress = 13;
constexpr int kToggleFrame = 14;
constexpr int kHelpToggle = 15;
constexpr int kBufferToggle = 16;
constexpr int kHelpFrame = 18;
constexpr int kHelpLine1 = 19;
constexpr int kHelpLine2 = 20;
constexpr int kHelpLine3 = 21;
constexpr int kHelpRule = 22;

// Buffer window
constexpr int kListing = 100;
constexpr int kRowAddress = 101;
constexpr int kRowByte0 = 102;  // 102..109: bytes 0..7 of the row
constexpr int kApplyRow = 110;

}  // namespace romprog::id
