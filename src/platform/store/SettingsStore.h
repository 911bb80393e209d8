#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

// The per-user settings store: one INI-style file of sections and string
// values. Reading never fails: a missing or unreadable file, section or value
// reads as absent. Writing keeps every other byte of the file (sections,
// comments, line endings, a byte-order mark) and replaces the file
// atomically (QSaveFile: temporary file in the same folder, fsync, rename),
// so the file on disk is always either the old or the new one, never a
// truncated mixture. A symbolic link stays a link: the file it names is
// written, and created when the link dangles. Writers in different
// processes take turns through a lock file beside the settings file, so no
// write loses another's change.
//
// On Windows (SettingsStore_win.cpp) the store is the registry: FilePath is
// the name of a key directly under HKEY_CURRENT_USER, created on every open,
// a section is a subkey of it and a value a string value written with its
// terminating zero. Reading a value that is not a string raises
// ELumoraError "Invalid data type for '<Name>'". The members marked "files
// only" exist on the other platforms alone.
class TSettingsStore {
public:
    explicit TSettingsStore(QString FilePath);

    // ${XDG_CONFIG_HOME:-$HOME/.config}/lumora/ComSetup.INI; on Windows the
    // key "ComSetup.INI".
    static QString DefaultPath();

    const QString &FilePath() const { return FPath; }
    // Where the values of Section are kept, as the user would look for
    // them: the file; on Windows the key "HKEY_CURRENT_USER\<FilePath>\<Section>".
    QString Location(const QString &Section) const;

    std::optional<QString> ReadString(const QString &Section, const QString &Name) const;
    // Default when the value is absent or does not read as an integer.
    int32_t ReadInteger(const QString &Section, const QString &Name, int32_t Default) const;

    // A value already stored as Value is not written again (the file is not
    // touched, so a store the user may not write still accepts it). Raise
    // ELumoraError "Failed to create key <Section>" when the folder, the file
    // or the section cannot be created, and "Failed to set data for '<Name>'"
    // when the value cannot be written; a file the user may not write is
    // never replaced, and the file on disk is then unchanged.
    void WriteString(const QString &Section, const QString &Name, const QString &Value);
    void WriteInteger(const QString &Section, const QString &Name, int32_t Value);

    // Files only: every entry of Section in file order (empty when there is
    // none).
    std::vector<std::pair<QString, QString>> ReadSection(const QString &Section) const;
    // Files only: removes Name from Section; nothing is written when it is
    // not there.
    // Raises as WriteString does.
    void RemoveValue(const QString &Section, const QString &Name);

    // Files only: replaces the file's text with Edit(text), keeping its mode, atomically,
    // under the writers' lock, so that an edit computed from the text (the
    // next free number, say) sees every other writer's change. Edit may be
    // called more than once; nothing is written when it has nothing to do
    // (returns no text). Raises as WriteString does, naming Section and Name.
    void EditText(const QString &Section, const QString &Name,
                  const std::function<std::optional<QByteArray>(const QByteArray &)> &Edit);

private:
    QString FPath;
};
