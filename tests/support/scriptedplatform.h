#pragma once
// The dialog seam for tests: answers come from a script, and every dialog
// and the end of the application are recorded, so no window ever blocks.

#include "ui/platform.h"

#include <QColor>
#include <QStringList>
#include <deque>
#include <optional>

namespace test {

class ScriptedPlatform : public ui::Platform {
public:
    void messageBox(const QString& text) override { messages << text; }

    QString inputBox(const QString& prompt) override
    {
        prompts << prompt;
        if (answers.empty()) {
            unexpected << prompt;
            return {};
        }
        QString a = answers.front();
        answers.pop_front();
        return a;
    }

    std::optional<QColor> pickColour(const QColor& current) override
    {
        pickerOpenedOn << current;
        if (colours.empty()) {
            unexpected << QStringLiteral("colour picker");
            return std::nullopt;
        }
        auto c = colours.front();
        colours.pop_front();
        return c;
    }

    void exit(int status) override { exits.push_back(status); }
    void log(const QString& line) override { logged << line; }

    // Scripted answers, used in order.
    std::deque<QString> answers;                 // input box texts; "" is a cancel
    std::deque<std::optional<QColor>> colours;   // picked colour, or none for a cancel

    // What happened.
    QStringList messages;
    QStringList prompts;
    QList<QColor> pickerOpenedOn;
    std::deque<int> exits;
    QStringList logged;                          // lines for the program's log
    QStringList unexpected;                      // dialogs with no scripted answer
};

} // namespace test
