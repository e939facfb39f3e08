// One scripted failure of the fake library, as a row of a QtTest table: the n-th call of the
// entry point fails and the failing object's error text becomes text.
#pragma once

#include "FakeCk.h"

#include <QByteArray>
#include <QMetaType>
#include <QString>

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
