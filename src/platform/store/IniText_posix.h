#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>
#include <utility>
#include <vector>

// Line-based reading and editing of INI-style text. Section and key names
// compare without regard to case; keys and values are trimmed of blanks, as
// Windows profile files are. Editing changes only the one line it must and
// keeps every other byte of the text (other sections, comments, unknown or
// malformed lines, line endings, a UTF-8 byte-order mark at the start) as it
// was. New lines take the line ending of the text's first line.

// Whether the text has a section named Section.
bool HasIniSection(QByteArrayView Text, QByteArrayView Section);

// The value of Key in the first section named Section, if there is one.
std::optional<QByteArray> FindIniValue(QByteArrayView Text, QByteArrayView Section, QByteArrayView Key);

// Text with Key of Section set to Value: the key's line is replaced when it
// exists; otherwise the key is added at the end of the section, or the
// section is appended to the text.
QByteArray SetIniValue(QByteArrayView Text, QByteArrayView Section, QByteArrayView Key, QByteArrayView Value);

// Every "key=value" entry of the first section named Section, in file order,
// keys and values trimmed as FindIniValue returns them.
std::vector<std::pair<QByteArray, QByteArray>> IniSectionEntries(QByteArrayView Text, QByteArrayView Section);

// Text without Key's line (and its line ending) in the first section named
// Section; the text unchanged when there is no such key.
QByteArray RemoveIniValue(QByteArrayView Text, QByteArrayView Section, QByteArrayView Key);
