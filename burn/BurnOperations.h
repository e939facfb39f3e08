// Pyrelle's transfer operations, run by the clicks of its four transfer buttons on the main
// window whose log, status panel, board address and folder pickers they use.
#pragma once

namespace shell {
class TMainForm;
}

namespace burn {

// Replaces the burn set in the board's /tmp with the copies in a folder the user picks.
void UploadBurnFiles(shell::TMainForm &form);
// After the "Need to do Before" reminder, replaces the update set in the board's /app with the
// copies in a folder the user picks and makes the server program executable.
void UploadUpdateFiles(shell::TMainForm &form);
// Copies the board's /app/rtspserver.dat into a folder the user picks.
void DownloadConfigFile(shell::TMainForm &form);
// Copies rtspserver.dat from a folder the user picks to the board's /app.
void UploadConfigFile(shell::TMainForm &form);

} // namespace burn
