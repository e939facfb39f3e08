// Pyrelle's two fixed groups of files: the burn set, placed in the board's /tmp, and the update
// set, which replaces the streaming application in /app. Each slot pairs a file name with the
// log lines written after the file is deleted on the board and after it is uploaded.
#pragma once

#include <QString>

#include <array>

namespace burn {

inline constexpr int TransferSlots = 10;

struct TBF {
    std::array<QString, TransferSlots> FN;    // bare file name, the same on the PC and the board
    std::array<QString, TransferSlots> SHOW;  // logged after the board's copy is deleted
    std::array<QString, TransferSlots> SHOW2; // logged after the PC's copy is uploaded
};

// Slots 0-9 are deleted from /tmp, slots 0-7 uploaded; 8 and 9 only go.
extern TBF BurnFiles;
// Slots 0-3 are deleted from /app and uploaded; 4-9 stay empty.
extern TBF UpdateFiles;

inline constexpr int BurnDeleted = 10;
inline constexpr int BurnUploaded = 8;
inline constexpr int UpdateDeleted = 4;
inline constexpr int UpdateUploaded = 4;

// Fills both sets; run each time Pyrelle's main window is shown. Empty strings stay empty.
void FillTransferSets();

} // namespace burn
