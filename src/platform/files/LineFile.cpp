#include "platform/files/LineFile.h"

bool TLineFile::Append(QByteArray Line, QString &Reason)
{
    auto fail = [&](uint32_t Code) {
        Reason = ErrorText(Code);
        return false;
    };
    if (!IsOpen())
        return fail(NotOpenError());
    if (!Lock())
        return fail(LastError());
    struct TUnlock {
        TLineFile &File;
        ~TUnlock() { File.Unlock(); }
    } unlock{*this};
    int64_t before = 0;
    if (!FileSize(before))
        return fail(LastError());
    if (!EndsWithLineBreak(before))
        Line.prepend('\n');
    if (WriteAt(before, Line) && Sync())
        return true;
    // Whatever part of the line reached the file goes again.
    const uint32_t code = LastError();
    if (CutTo(before))
        Sync();
    return fail(code);
}
