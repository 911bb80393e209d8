#include "platform/store/IniText_posix.h"

#include <vector>

namespace {

// One line of the text: [Begin, End) without its line ending; Next is where
// the following line starts.
struct TLine {
    qsizetype Begin;
    qsizetype End;
    qsizetype Next;
};

// A UTF-8 byte-order mark, as Windows editors write it at the start of a file.
constexpr QByteArrayView ByteOrderMark("\xEF\xBB\xBF");

// Where the text proper starts: after a byte-order mark, which belongs to
// the file and not to its first line.
qsizetype TextStart(QByteArrayView text)
{
    return text.startsWith(ByteOrderMark) ? ByteOrderMark.size() : 0;
}

std::vector<TLine> SplitLines(QByteArrayView text)
{
    std::vector<TLine> lines;
    qsizetype pos = TextStart(text);
    while (pos < text.size()) {
        qsizetype nl = text.indexOf('\n', pos);
        const qsizetype next = nl < 0 ? text.size() : nl + 1;
        qsizetype end = nl < 0 ? text.size() : nl;
        if (end > pos && text[end - 1] == '\r')
            --end;
        lines.push_back({pos, end, next});
        pos = next;
    }
    return lines;
}

QByteArrayView Trimmed(QByteArrayView v)
{
    return v.trimmed();
}

bool SameName(QByteArrayView a, QByteArrayView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The section name when the line is a section header.
std::optional<QByteArrayView> SectionName(QByteArrayView line)
{
    const QByteArrayView t = Trimmed(line);
    if (t.size() < 2 || t.front() != '[')
        return std::nullopt;
    const qsizetype close = t.indexOf(']');
    if (close < 0)
        return std::nullopt;
    return Trimmed(t.sliced(1, close - 1));
}

bool IsComment(QByteArrayView line)
{
    const QByteArrayView t = Trimmed(line);
    return !t.isEmpty() && (t.front() == ';' || t.front() == '#');
}

// Key and value when the line is a "key=value" entry.
bool SplitEntry(QByteArrayView line, QByteArrayView &key, QByteArrayView &value)
{
    if (IsComment(line))
        return false;
    const qsizetype eq = line.indexOf('=');
    if (eq < 0)
        return false;
    key = Trimmed(line.first(eq));
    value = Trimmed(line.sliced(eq + 1));
    return !key.isEmpty();
}

struct TLocation {
    qsizetype SectionLine = -1; // index of the header line
    qsizetype KeyLine = -1;     // index of the key's line
    qsizetype LastEntry = -1;   // last non-blank line of the section
};

TLocation Locate(QByteArrayView text, const std::vector<TLine> &lines, QByteArrayView section,
                 QByteArrayView key)
{
    TLocation loc;
    for (qsizetype i = 0; i < qsizetype(lines.size()); ++i) {
        const QByteArrayView line = text.sliced(lines[i].Begin, lines[i].End - lines[i].Begin);
        if (const auto name = SectionName(line)) {
            if (loc.SectionLine >= 0)
                break; // end of the first matching section
            if (SameName(*name, section)) {
                loc.SectionLine = i;
                loc.LastEntry = i;
            }
            continue;
        }
        if (loc.SectionLine < 0)
            continue;
        if (!Trimmed(line).isEmpty())
            loc.LastEntry = i;
        QByteArrayView k, v;
        if (loc.KeyLine < 0 && SplitEntry(line, k, v) && SameName(k, key))
            loc.KeyLine = i;
    }
    return loc;
}

// New lines follow the text's own convention, judged by its first line.
QByteArray LineEnding(const std::vector<TLine> &lines)
{
    if (!lines.empty() && lines[0].Next > lines[0].End + 1)
        return "\r\n";
    return "\n";
}

} // namespace

bool HasIniSection(QByteArrayView Text, QByteArrayView Section)
{
    return Locate(Text, SplitLines(Text), Section, {}).SectionLine >= 0;
}

std::optional<QByteArray> FindIniValue(QByteArrayView Text, QByteArrayView Section, QByteArrayView Key)
{
    const auto lines = SplitLines(Text);
    const TLocation loc = Locate(Text, lines, Section, Key);
    if (loc.KeyLine < 0)
        return std::nullopt;
    const TLine &l = lines[size_t(loc.KeyLine)];
    QByteArrayView k, v;
    SplitEntry(Text.sliced(l.Begin, l.End - l.Begin), k, v);
    return v.toByteArray();
}

QByteArray SetIniValue(QByteArrayView Text, QByteArrayView Section, QByteArrayView Key, QByteArrayView Value)
{
    const auto lines = SplitLines(Text);
    const TLocation loc = Locate(Text, lines, Section, Key);
    const QByteArray eol = LineEnding(lines);
    QByteArray entry = Key.toByteArray() + '=' + Value.toByteArray();

    QByteArray out;
    out.reserve(Text.size() + entry.size() + Section.size() + 8);
    if (loc.KeyLine >= 0) {
        const TLine &l = lines[size_t(loc.KeyLine)];
        out += Text.first(l.Begin);
        out += entry;
        out += Text.sliced(l.End);
        return out;
    }
    if (loc.SectionLine >= 0) {
        const TLine &l = lines[size_t(loc.LastEntry)];
        out += Text.first(l.Next);
        // The section's last line ends the text without a line feed (it may
        // still end in a lone CR): end it before the new entry, or the entry
        // would join it.
        if (Text[l.Next - 1] != '\n')
            out += eol;
        out += entry + eol;
        out += Text.sliced(l.Next);
        return out;
    }
    out += Text;
    if (Text.size() > TextStart(Text) && Text.back() != '\n')
        out += eol;
    out += '[' + Section.toByteArray() + ']' + eol + entry + eol;
    return out;
}

std::vector<std::pair<QByteArray, QByteArray>> IniSectionEntries(QByteArrayView Text, QByteArrayView Section)
{
    std::vector<std::pair<QByteArray, QByteArray>> entries;
    bool inside = false;
    for (const TLine &l : SplitLines(Text)) {
        const QByteArrayView line = Text.sliced(l.Begin, l.End - l.Begin);
        if (const auto name = SectionName(line)) {
            if (inside)
                break;
            inside = SameName(*name, Section);
            continue;
        }
        QByteArrayView k, v;
        if (inside && SplitEntry(line, k, v))
            entries.emplace_back(k.toByteArray(), v.toByteArray());
    }
    return entries;
}

QByteArray RemoveIniValue(QByteArrayView Text, QByteArrayView Section, QByteArrayView Key)
{
    const auto lines = SplitLines(Text);
    const TLocation loc = Locate(Text, lines, Section, Key);
    if (loc.KeyLine < 0)
        return Text.toByteArray();
    const TLine &l = lines[size_t(loc.KeyLine)];
    return Text.first(l.Begin).toByteArray() + Text.sliced(l.Next).toByteArray();
}
