#pragma once

#include <QStringView>

#include <cstdint>

// Reads Text as a signed 32-bit integer, the way the settings store, the
// address entry and the command-line tool all read numbers:
//   - leading space characters are skipped;
//   - then either an optional "+" or "-" and one or more decimal digits,
//   - or a hexadecimal prefix "$", "x", "X", "0x" or "0X" and one or more
//     hexadecimal digits of either case (up to 32 bits, taken as the bit
//     pattern of the result, so $FFFFFFFF is -1);
//   - nothing may follow the digits.
// Leading zeros do not make a number octal (010 is ten). A sign before a
// hexadecimal prefix, a prefix without digits, an empty text and a value out
// of range all fail. On failure Value is left untouched.
bool TryStrToInt(QStringView Text, int32_t &Value);
