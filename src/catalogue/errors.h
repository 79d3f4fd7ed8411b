#pragma once
// The errors the shop can raise. None of them is handled where it is raised:
// they travel up to the one error report (ui/application), which shows the
// message and ends the application.

#include <QString>
#include <exception>

namespace plimbo {

class PlimboError : public std::exception {
public:
    explicit PlimboError(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}
    // The text shown to the customer or shop owner.
    const QString& message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

// A number left the 16-bit signed range.
class OverflowError : public PlimboError {
public:
    OverflowError() : PlimboError(QStringLiteral("Overflow")) {}
};

// A slot number outside a table's slots.
class SubscriptError : public PlimboError {
public:
    explicit SubscriptError(int slot)
        : PlimboError(QStringLiteral("Subscript out of range (slot %1)").arg(slot)) {}
};

// The price file could not be opened or read; the message names the file,
// the record and field, and what was wrong.
class PriceFileError : public PlimboError {
public:
    using PlimboError::PlimboError;
};

} // namespace plimbo
