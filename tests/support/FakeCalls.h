// What the tests against the scripted fake library share: the calls they expect an operation to
// make, as the fake records them, the failures and command outputs they script, and the check
// that nothing is left alive. Needs FakeCk.h, which fakeck_use() in CMake provides.
#pragma once

#include "FakeCk.h"

#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QTest>

// The calls as the fake records them, `Entry(arg,...)`; h is a session's handle and scp a
// transfer object's.
namespace ckcalls {

// A text argument: quoted, with quotes and backslashes escaped.
inline QString Quoted(QString text) {
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    text.replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// Opening session h: create, connect to the address on port 22, the idle time-out, log in.
inline QStringList Open(int h, const QString &address) {
    const QString n = QString::number(h);
    return {QStringLiteral("CkSsh_Create()"),
            QStringLiteral("CkSsh_Connect(%1,%2,22)").arg(n, Quoted(address)),
            QStringLiteral("CkSsh_putIdleTimeoutMs(%1,5000)").arg(n),
            QStringLiteral("CkSsh_AuthenticatePw(%1,\"root\",\"\")").arg(n)};
}

inline QString Run(int h, const QString &command) {
    return QStringLiteral("CkSsh__quickCommand(%1,%2,\"ansi\")")
        .arg(QString::number(h), Quoted(command));
}

inline QString Check(int h) {
    return QStringLiteral("CkSsh_getLastMethodSuccess(%1)").arg(h);
}

inline QString SshError(int h) {
    return QStringLiteral("CkSsh__lastErrorText(%1)").arg(h);
}

// Closing session h, then releasing the transfer object scp if there is one (not 0).
inline QStringList Close(int h, int scp = 0) {
    QStringList calls{QStringLiteral("CkSsh_Disconnect(%1)").arg(h),
                      QStringLiteral("CkSsh_Dispose(%1)").arg(h)};
    if (scp != 0) {
        calls << QStringLiteral("CkScp_Dispose(%1)").arg(scp);
    }
    return calls;
}

// Creating transfer object scp and attaching it to session h.
inline QStringList Attach(int scp, int h) {
    return {QStringLiteral("CkScp_Create()"),
            QStringLiteral("CkScp_UseSsh(%1,%2)").arg(scp).arg(h)};
}

inline QString Upload(int scp, const QString &pcPath, const QString &boardPath) {
    return QStringLiteral("CkScp_UploadFile(%1,%2,%3)")
        .arg(QString::number(scp), Quoted(pcPath), Quoted(boardPath));
}

inline QString Download(int scp, const QString &boardPath, const QString &pcPath) {
    return QStringLiteral("CkScp_DownloadFile(%1,%2,%3)")
        .arg(QString::number(scp), Quoted(boardPath), Quoted(pcPath));
}

inline QString ScpError(int scp) {
    return QStringLiteral("CkScp__lastErrorText(%1)").arg(scp);
}

// A failure of session h reported: its error text, then the session closed.
inline QStringList Report(int h) {
    return QStringList{SshError(h)} + Close(h);
}

inline QStringList ConnectFails(int h, const QString &address) {
    return Open(h, address).mid(0, 2) + Report(h);
}

inline QStringList LoginFails(int h, const QString &address) {
    return Open(h, address) + Report(h);
}

} // namespace ckcalls

// One scripted failure, as a row of a QtTest table: the n-th call of the entry point fails and
// the failing object's error text becomes text.
struct Failure {
    QString entry;
    int n = 0;
    QString text;
};
Q_DECLARE_METATYPE(Failure)

// Resets the fake and scripts the failure, if the row has one.
inline void ScriptFailure(FakeCk &fake, const Failure &failure) {
    fake.Reset();
    if (!failure.entry.isEmpty()) {
        const QByteArray entry = failure.entry.toLatin1();
        fake.FailCall(entry.constData(), failure.n);
        fake.SetErrorText(entry.constData(),
                          reinterpret_cast<const char16_t *>(failure.text.utf16()));
    }
}

// What CkSsh__quickCommand gives for exactly this command.
inline void ScriptOutput(FakeCk &fake, const QString &command, const QString &output) {
    fake.SetOutput(reinterpret_cast<const char16_t *>(command.utf16()),
                   reinterpret_cast<const char16_t *>(output.utf16()));
}

// After an operation: no session or transfer object is left alive, and no call used a handle
// that was not alive.
inline void VerifyNothingLeft(const FakeCk &fake) {
    QVERIFY2(fake.LiveSessions() == 0, "no session is left alive");
    QVERIFY2(fake.LiveTransfers() == 0, "no transfer object is left alive");
    QVERIFY2(fake.Misuse() == 0, "no call used a disposed or unknown handle");
}
