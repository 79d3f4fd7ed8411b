#include "display.h"

#include "buildinfo.h"

#include <QByteArrayList>
#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

namespace ui {

namespace {

QByteArrayList heldBack;
bool cannotConnect = false;
const char* noDisplayLine = "";
QtMessageHandler usual = nullptr;

void whileOpeningTheDisplay(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg) {
        if (context.category && qstrcmp(context.category, "qt.qpa.xcb") == 0 &&
            message.startsWith(QLatin1String("could not connect to display")))
            cannotConnect = true;
        heldBack << qFormatLogMessage(type, context, message).toLocal8Bit();
        return;
    }
    if (cannotConnect) {
        std::fputs(noDisplayLine, stderr);
        std::_Exit(plimbo::exitstatus::NoDisplay);
    }
    for (const QByteArray& held : heldBack)
        std::fprintf(stderr, "%s\n", held.constData());
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    std::_Exit(plimbo::exitstatus::Failed);
}

} // namespace

void holdBackWhileOpeningTheDisplay(const char* noDisplay)
{
    noDisplayLine = noDisplay;
    usual = qInstallMessageHandler(whileOpeningTheDisplay);
}

void displayOpened()
{
    qInstallMessageHandler(usual);
    for (const QByteArray& message : heldBack)
        std::fprintf(stderr, "%s\n", message.constData());
    heldBack.clear();
}

} // namespace ui
