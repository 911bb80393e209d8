#include "Records.h"

#include <QStringDecoder>

#include <cstring>

QString VersionToStr(uint16_t Version)
{
    return QStringLiteral("%1.%2").arg(Version & 0xFF).arg(Version >> 8);
}

QString ByteToHex(uint8_t Value)
{
    return QString::fromLatin1(HexDigits[Value >> 4]) + QString::fromLatin1(HexDigits[Value & 0x0F]);
}

QString IPToStr(uint32_t Address)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(Address & 0xFF)
        .arg((Address >> 8) & 0xFF)
        .arg((Address >> 16) & 0xFF)
        .arg(Address >> 24);
}

QString RecordText(const char *Field, int Size)
{
    const void *zero = std::memchr(Field, 0, size_t(Size));
    const qsizetype length = zero ? static_cast<const char *>(zero) - Field : Size;
    // Device texts are in the GB2312 code page; ASCII reads unchanged.
    QStringDecoder decoder("GB18030");
    if (!decoder.isValid())
        return QString::fromLatin1(Field, length);
    return decoder.decode(QByteArrayView(Field, length));
}

QString MacFromSerial(QByteArrayView Serial)
{
    if (Serial.size() != 10)
        return {};
    int d[11];
    for (int i = 1; i <= 10; ++i)
        d[i] = int(uint8_t(Serial[i - 1])) - 48;
    // Wraps modulo 256 and 65536 for any characters, digits or not.
    const auto b1 = uint8_t(unsigned((10 * d[1] + d[2]) * 16 + 10 * d[3] + d[4]) & 0xFF);
    const auto v = uint16_t(unsigned(10000 * d[6] + 1000 * d[7] + 100 * d[8] + 10 * d[9] + d[10]) & 0xFFFF);
    return QStringLiteral("000808") + ByteToHex(b1) + ByteToHex(uint8_t(v >> 8)) +
           ByteToHex(uint8_t(v & 0xFF));
}
