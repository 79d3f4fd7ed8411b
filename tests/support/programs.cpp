#include "programs.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryFile>
#include <QThread>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace test {

Ran runProgram(const QString& program, const QStringList& arguments, int timeoutMs)
{
    Ran ran;
    QTemporaryFile out, err;
    if (!out.open() || !err.open())
        return ran;
    std::vector<QByteArray> words{QFile::encodeName(program)};
    for (const QString& a : arguments)
        words.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out.handle(), 1);
    posix_spawn_file_actions_adddup2(&actions, err.handle(), 2);
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return ran;

    int wstatus = 0;
    QElapsedTimer clock;
    clock.start();
    pid_t done = 0;
    while ((done = waitpid(pid, &wstatus, WNOHANG)) == 0 && !clock.hasExpired(timeoutMs))
        QThread::msleep(10);
    if (done == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &wstatus, 0);
    } else if (done == pid && WIFEXITED(wstatus)) {
        ran.status = WEXITSTATUS(wstatus);
    }
    out.seek(0);
    err.seek(0);
    ran.out = out.readAll();
    ran.err = err.readAll();
    return ran;
}

QString whyQProcessCannotStart()
{
    QProcess p;
    p.start(QStringLiteral("/bin/true"), {});
    if (p.waitForStarted(10000)) {
        p.waitForFinished(10000);
        return {};
    }
    return QStringLiteral("QProcess cannot start a program here (%1): an emulator that refuses Qt's clone?")
        .arg(p.errorString());
}

} // namespace test
