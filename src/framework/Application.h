#pragma once

#include "base/LumoraError.h"

#include <QCursor>
#include <QMap>
#include <QString>

#include <exception>
#include <functional>
#include <optional>

class QWidget;

// The application object: the program-wide services of the windowing layer.
// Reach it through Application(); it needs a QApplication to exist.
//
// Handlers and the error box: an ELumoraError that escapes an event handler
// ends that handler; the application shows its message in the error box and
// the program carries on. The framework's controls and forms catch at their
// event boundary by themselves. Code run from a plain Qt signal (a combo box,
// a timer) should wrap its handler in Application().Guard(...), because an
// exception must never unwind through Qt's own code.
class TApplication {
public:
    // Heads every message box and names the program's taskbar entry
    // (the application display name).
    QString Title() const { return FTitle; }
    void SetTitle(const QString &title);

    // The error box: a modal box titled Title(), stop icon, one OK button,
    // showing WithFullStop(message). Returns when the user closes it.
    void ShowError(const QString &message);
    void ShowException(const ELumoraError &error);
    // The message shown by the error box: a "." is appended when the message
    // is not empty and its last character's code is above that of ".".
    static QString WithFullStop(const QString &message);

    // A modal information box with the given caption, one OK button.
    void ShowInformation(const QString &text, const QString &caption);

    // Runs handler; an ELumoraError escaping it is shown in the error box.
    // Returns true when the handler ran to its end.
    template <typename F> bool Guard(F &&handler)
    {
        try {
            handler();
            return true;
        } catch (const ELumoraError &error) {
            ShowException(error);
        }
        return false;
    }

    // Minimises every visible top-level window of the application together.
    void Minimize();

    // Asks the program to end: the rest of the current step still runs, and
    // the program ends as soon as its message loop next runs (Run returns at
    // once when the request came before it).
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Withdraws a terminate request that has not ended the program yet (for
    // hosts that keep the application object running, such as test runners).
    void CancelTerminate() { FTerminated = false; }
    // The message loop: runs until the last window closes or Terminate.
    int Run();

    // The cursor table: cursors registered by number. A cursor may be
    // registered as the routine that makes it, run when it is first asked
    // for: its picture is then decoded only once a control shows it.
    using TCursorMaker = std::function<QCursor()>;
    void RegisterCursor(int id, const QCursor &cursor) { FCursors.insert(id, {cursor, {}}); }
    void RegisterCursor(int id, TCursorMaker make) { FCursors.insert(id, {std::nullopt, std::move(make)}); }
    bool HasCursor(int id) const { return FCursors.contains(id); }
    // The registered cursor, or the arrow when none is registered under id.
    QCursor Cursor(int id) const;

private:
    struct TCursorEntry {
        std::optional<QCursor> Made;
        TCursorMaker Make;
    };
    QString FTitle;
    bool FTerminated = false;
    // Made on first use, hence mutable.
    mutable QMap<int, TCursorEntry> FCursors;
};

TApplication &Application();
