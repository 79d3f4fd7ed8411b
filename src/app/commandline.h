#pragma once
// What the shop's command line asks for. The shop itself takes only --help
// and --version, which answer without opening a display; Qt's own options
// (-platform, -display, -style, ...) are left for Qt.

#include <QString>
#include <QStringList>

namespace plimbo {

struct CommandLine {
    enum Action { Run, Help, Version, Wrong };
    Action action = Run;
    QString wrong;   // with Wrong: the argument the shop does not take
};

// Reads the arguments after the program's name.
CommandLine readCommandLine(const QStringList& arguments);

// What --help prints, and what --version prints, for the program `program`.
QString helpText(const QString& program);
QString versionText(const QString& program);

} // namespace plimbo
