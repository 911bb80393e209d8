#pragma once

#include <QString>

#include <exception>
#include <string>

// The program's one error type. Invalid user input, a failed read for a
// window and settings-store failures are raised as ELumoraError; the
// application object catches it at the boundary of the running handler and
// shows the message in the error box.
class ELumoraError : public std::exception {
public:
    explicit ELumoraError(QString message) : FMessage(std::move(message)), FUtf8(FMessage.toStdString()) {}

    const QString &Message() const noexcept { return FMessage; }
    const char *what() const noexcept override { return FUtf8.c_str(); }

private:
    QString FMessage;
    std::string FUtf8;
};
