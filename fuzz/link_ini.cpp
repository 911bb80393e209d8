// The settings file text: parse, write one value, parse again. Whatever the
// file held, the written value reads back, writing it again changes nothing,
// every other value reads as before and every other line is kept in order,
// a leading UTF-8 byte-order mark stays, and a file of CR LF lines gets no
// bare LF.

#include "FuzzCheck.h"
#include "platform/store/IniText_posix.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

const QByteArray ByteOrderMark = "\xEF\xBB\xBF";

QList<QByteArray> Lines(QByteArrayView text)
{
    QList<QByteArray> lines = text.toByteArray().split('\n');
    if (text.endsWith('\n'))
        lines.pop_back(); // the empty rest after the last line ending
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

// Every "[section]" and "key=" pair the text names, found crudely: the
// pairs are only questions put to the parser, before and after the write.
std::vector<std::pair<QByteArray, QByteArray>> NamedPairs(QByteArrayView text)
{
    std::vector<std::pair<QByteArray, QByteArray>> pairs;
    QByteArray section;
    // A byte-order mark belongs to the file, not to its first line.
    if (text.startsWith(ByteOrderMark))
        text = text.sliced(ByteOrderMark.size());
    for (const QByteArray &line : Lines(text)) {
        const QByteArray t = line.trimmed();
        if (t.startsWith('[') && t.contains(']')) {
            section = t.mid(1, t.indexOf(']') - 1).trimmed();
        } else if (const qsizetype eq = t.indexOf('='); eq > 0) {
            pairs.emplace_back(section, t.left(eq).trimmed());
        }
    }
    return pairs;
}

// The write is one contiguous edit: apart from a common head and tail, at
// most one old line (the replaced entry, or a last line that gains its line
// ending) gives way to at most three new ones (that line, a section header,
// the entry).
bool KeepsOtherLines(const QList<QByteArray> &before, const QList<QByteArray> &after)
{
    qsizetype head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head])
        ++head;
    qsizetype tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    return before.size() - head - tail <= 1 && after.size() - head - tail <= 3;
}

// Line feeds not preceded by a carriage return.
qsizetype BareLineFeeds(QByteArrayView text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            ++count;
    }
    return count;
}

// The text's lines end in CR LF: its first line does, and no line ends in a
// bare LF.
bool CrLfText(QByteArrayView text)
{
    if (text.startsWith(ByteOrderMark))
        text = text.sliced(ByteOrderMark.size());
    const qsizetype firstEnd = text.indexOf('\n');
    return firstEnd > 0 && text[firstEnd - 1] == '\r' && BareLineFeeds(text) == 0;
}

QByteArray Printable(const uint8_t *data, size_t size)
{
    QByteArray out;
    for (size_t i = 0; i < size; ++i)
        out += char(0x21 + data[i] % 0x5E); // '!' to '~'
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 3)
        return 0;
    // Names the program writes, in other cases too, since names compare
    // without regard to case.
    static const std::array<QByteArray, 4> sections = {"COMSetup", "Ports", "comsetup", "Other Section"};
    static const std::array<QByteArray, 4> keys = {"COM", "COM1", "com", "Key Two"};
    const QByteArray &section = sections[data[0] % sections.size()];
    const QByteArray &key = keys[data[1] % keys.size()];
    const size_t valueLength = std::min<size_t>(data[2] % 16, size - 3);
    const QByteArray value = Printable(data + 3, valueLength);
    const QByteArrayView text(reinterpret_cast<const char *>(data + 3 + valueLength),
                              qsizetype(size - 3 - valueLength));

    const QByteArray written = SetIniValue(text, section, key, value);
    FUZZ_CHECK(FindIniValue(written, section, key) == value);
    FUZZ_CHECK(SetIniValue(written, section, key, value) == written);
    FUZZ_CHECK(KeepsOtherLines(Lines(text), Lines(written)));
    FUZZ_CHECK(written.startsWith(ByteOrderMark) == text.startsWith(ByteOrderMark));
    if (CrLfText(text))
        FUZZ_CHECK(BareLineFeeds(written) == 0);
    // The first few named values are enough: each question reads the whole text.
    const auto pairs = NamedPairs(text);
    for (size_t i = 0; i < pairs.size() && i < 16; ++i) {
        const auto &[s, k] = pairs[i];
        if (s.compare(section, Qt::CaseInsensitive) == 0 && k.compare(key, Qt::CaseInsensitive) == 0)
            continue;
        FUZZ_CHECK(FindIniValue(written, s, k) == FindIniValue(text, s, k));
    }
    return 0;
}
