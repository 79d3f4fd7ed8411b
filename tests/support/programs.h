#pragma once
// Other programs run from a test, waited for, their output kept.
//
// Not through QProcess: Qt starts a child with clone(CLONE_PIDFD), which the
// user-mode QEMU of Debian 12 (7.2) refuses, so under that emulation (the
// arm64 tests) QProcess starts nothing. posix_spawn is emulated there too.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace test {

struct Ran {
    int status = -1;  // the exit status; -1 when the program did not start, was killed or ran out of time
    QByteArray out;
    QByteArray err;
};

Ran runProgram(const QString& program, const QStringList& arguments, int timeoutMs = 20000);

// Empty where QProcess starts programs from this process; otherwise one line
// saying why not, for QSKIP.
QString whyQProcessCannotStart();

} // namespace test
