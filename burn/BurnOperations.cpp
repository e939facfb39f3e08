#include "BurnOperations.h"

#include "BoardSession.h"
#include "MainForm.h"
#include "PcPath.h"
#include "Seams.h"
#include "TransferSets.h"
#include "Utf16Text.h"
#include "localfile.h"

#include <QMessageBox>
#include <QStringList>

#include <string>

namespace burn {
namespace {

const QString BoardTmp = QStringLiteral("/tmp/");
const QString BoardApp = QStringLiteral("/app/");
constexpr std::u16string_view BoardConfigFile = u"/app/rtspserver.dat";

using shell::ToQString;

// Every file an upload will send must be a readable regular file before anything on the board
// is deleted; otherwise the board would be left without the files it had. Each is opened exactly
// as the library opens it for the upload, so a file that another program still writes fails here,
// not after the deletions; the log then says so.
bool AllReadable(shell::TMainForm &form, const QString &folder, const TBF &set, int uploaded) {
    QStringList missing;
    for (int slot = 0; slot < uploaded; ++slot) {
        sshlib::localfile::InputFile file;
        std::string why;
        if (!file.open(PcPath(folder, set.FN[slot]).toStdU16String(), why)) {
            missing << (file.inUse() ? set.FN[slot] + QStringLiteral(" (") +
                                           QString::fromStdString(why) + QStringLiteral(")")
                                     : set.FN[slot]);
        }
    }
    if (missing.isEmpty()) {
        return true;
    }
    form.LogAdd(QStringLiteral("Files missing or unreadable in ") + folder + QStringLiteral(" : ") +
                missing.join(QStringLiteral(", ")));
    return false;
}

// Deletes slots [0, deleted) in the board folder, then uploads slots [0, uploaded) from the PC
// folder, logging each step, then the success line, the session check and the reboot request.
// False when a step failed; the session has then reported and closed.
bool ReplaceOnBoard(board::Session &session, shell::TMainForm &form, const QString &folder,
                    const TBF &set, int deleted, int uploaded, const QString &boardFolder,
                    const QString &successLine) {
    for (int slot = 0; slot < deleted; ++slot) {
        const std::u16string output =
            session.Run((QStringLiteral("rm ") + boardFolder + set.FN[slot]).toStdU16String());
        if (!session.Check()) {
            return false;
        }
        form.LogAdd(ToQString(output));
        form.LogAdd(set.SHOW[slot]);
    }
    if (!session.AttachTransfer()) {
        return false;
    }
    for (int slot = 0; slot < uploaded; ++slot) {
        if (!session.Upload(PcPath(folder, set.FN[slot]).toStdU16String(),
                            (boardFolder + set.FN[slot]).toStdU16String())) {
            return false;
        }
        form.LogAdd(QString());
        form.LogAdd(set.SHOW2[slot]);
    }
    form.LogAdd(successLine);
    if (!session.Check()) {
        return false;
    }
    form.LogAdd(QString());
    form.LogAdd(QStringLiteral("Please  Reboot Board"));
    return true;
}

void ShowUpdateReminder(shell::TMainForm &form) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Need to do Before"),
                    QStringLiteral("With PC Control Application File -> Exit Board Application  "),
                    QMessageBox::Ok, &form);
    box.setWindowModality(Qt::ApplicationModal);
    // Whatever the answer, the update goes on.
    shell::seams::ExecMessageBox(box);
}

} // namespace

void UploadBurnFiles(shell::TMainForm &form) {
    form.LogClear();
    if (!form.OpenFolder()) {
        return;
    }
    const QString folder = form.WorkingFolder;
    if (!AllReadable(form, folder, BurnFiles, BurnUploaded)) {
        return;
    }
    board::Session session(form.LogSink());
    if (!session.Open(form.BoardAddress())) {
        return;
    }
    if (!ReplaceOnBoard(session, form, folder, BurnFiles, BurnDeleted, BurnUploaded, BoardTmp,
                        QStringLiteral("Burn files Upload OK."))) {
        return;
    }
    session.Close();
    form.SetStatus(QStringLiteral("Please  Reboot Board !! "));
}

void UploadUpdateFiles(shell::TMainForm &form) {
    form.LogClear();
    ShowUpdateReminder(form);
    if (!form.OpenFolder()) {
        return;
    }
    const QString folder = form.WorkingFolder;
    if (!AllReadable(form, folder, UpdateFiles, UpdateUploaded)) {
        return;
    }
    board::Session session(form.LogSink());
    if (!session.Open(form.BoardAddress())) {
        return;
    }
    if (!ReplaceOnBoard(session, form, folder, UpdateFiles, UpdateDeleted, UpdateUploaded, BoardApp,
                        QStringLiteral("Updated files Upload OK."))) {
        return;
    }
    const std::u16string output = session.Run(u"chmod 777 /app/sample_rtspserver");
    if (!session.Check()) {
        return;
    }
    form.LogAdd(ToQString(output));
    form.LogAdd(QStringLiteral("chmod 777"));
    session.Close();
    form.SetStatus(QStringLiteral("Turn off and turn on the Board Power !! "));
}

void DownloadConfigFile(shell::TMainForm &form) {
    form.LogClear();
    if (!form.SavFolder()) {
        return;
    }
    const std::u16string pcPath =
        (form.WorkingFolder + ToQString(ConfigFileSuffix)).toStdU16String();
    board::Session session(form.LogSink());
    if (!session.Open(form.BoardAddress()) || !session.AttachTransfer() ||
        !session.Download(BoardConfigFile, pcPath)) {
        return;
    }
    form.LogAdd(QStringLiteral("Configuration file \"rtspserver.dat\" Download OK."));
    session.Close();
}

void UploadConfigFile(shell::TMainForm &form) {
    form.LogClear();
    if (!form.OpenFolder()) {
        return;
    }
    const std::u16string pcPath =
        (form.WorkingFolder + ToQString(ConfigFileSuffix)).toStdU16String();
    board::Session session(form.LogSink());
    if (!session.Open(form.BoardAddress()) || !session.AttachTransfer() ||
        !session.Upload(pcPath, BoardConfigFile)) {
        return;
    }
    form.LogAdd(QStringLiteral("Configuration file \"rtspserver.dat\" Upload OK."));
    session.Close();
}

} // namespace burn
