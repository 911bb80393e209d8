#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Text in the system's ANSI code page: on Windows, where spreadsheets save
// plain "CSV" in it (1252 in western Europe, 936 in mainland China...). Other
// systems have no such code page: their files are UTF-8.

// The number of the code page; 0 where the system has none.
int AnsiCodePage();

// Bytes read as text of the code page; nothing where there is none or when
// the bytes are not valid text of it (AnsiCodePage_win.cpp).
std::optional<QString> FromAnsiCodePage(const QByteArray &Bytes);
