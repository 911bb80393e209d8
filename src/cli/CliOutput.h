#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

// Where the tool's output goes: standard output for results, standard error
// for status texts and messages. The program writes to the process's
// descriptors; tests collect both streams in memory.
class TCliOutput {
public:
    explicit TCliOutput(bool json = false) : FJson(json) {}
    virtual ~TCliOutput() = default;

    bool Json() const { return FJson; }
    void SetJson(bool json) { FJson = json; }

    // One line of text (a newline is appended) on standard output.
    void Line(const QString &text);
    // One JSON object on one line of standard output.
    void JsonLine(const QJsonObject &object);
    // One error line on standard error: "lumora-cli: " and the text.
    void ErrorLine(const QString &text);
    // One line on standard error as it is (a hint after an error).
    void HintLine(const QString &text);
    // Text as it is, without a newline, on standard output (a live line).
    void Text(const QString &text);
    // True when standard output is a terminal where a live line can be
    // redrawn in place (not a dumb one: TERM=dumb).
    virtual bool IsTerminal() const { return false; }
    // The columns of the terminal standard output goes to (or COLUMNS when
    // the terminal cannot tell); 0 when unknown.
    virtual int TerminalWidth() const { return 0; }

    // True once standard output could not be written (a full disk, a closed
    // pipe): nothing more reaches it, and a command that goes on printing
    // (watch, commission) stops.
    bool OutputFailed() const { return !FOutError.isEmpty(); }
    // Ends the output of a command that exited with Exit: makes sure all of
    // standard output was written and returns the exit status. When it was
    // not, says why on standard error and turns success (and a limits
    // alarm, which nobody would see) into the failure status 1.
    int Finish(int Exit);

protected:
    virtual void WriteOut(const QByteArray &bytes) = 0;
    virtual void WriteErr(const QByteArray &bytes) = 0;
    // Hands everything written on to the system; false with errno set when
    // that fails.
    virtual bool CloseOut() { return true; }
    // Notes the first failure to write standard output: the system's reason.
    void SetOutError(const QString &Reason);

private:
    bool FJson;
    QString FOutError;
};

// Writes straight to descriptors 1 and 2, unbuffered, so that every line of
// a running `watch` reaches a pipe at once.
class TProcessOutput : public TCliOutput {
public:
    bool IsTerminal() const override;
    int TerminalWidth() const override;

protected:
    void WriteOut(const QByteArray &bytes) override;
    void WriteErr(const QByteArray &bytes) override;
    bool CloseOut() override;
};

// Collects both streams in memory.
class TBufferOutput : public TCliOutput {
public:
    QByteArray Out;
    QByteArray Err;

protected:
    void WriteOut(const QByteArray &bytes) override { Out += bytes; }
    void WriteErr(const QByteArray &bytes) override { Err += bytes; }
};
