// The dotted-address check and the collection of the four address edits,
// differential against references: any four texts (and the DHCP state) give
// the same parts, the same verdicts, the same stored bytes and the same first
// message as the reference collection, and leave unreached fields alone.

#include "FuzzCheck.h"
#include "ReferenceConv.h"
#include "base/LumoraError.h"
#include "device/NetSettings.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

namespace {

std::u16string_view View(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()), size_t(text.size())};
}

// Cut at every dot; a dot at the very end adds no empty part.
std::vector<std::u16string_view> ReferenceSplit(std::u16string_view text)
{
    std::vector<std::u16string_view> parts;
    if (text.empty())
        return parts;
    size_t from = 0;
    for (;;) {
        const size_t dot = text.find(u'.', from);
        if (dot == std::u16string_view::npos) {
            parts.push_back(text.substr(from));
            break;
        }
        parts.push_back(text.substr(from, dot - from));
        from = dot + 1;
        if (from == text.size())
            break;
    }
    return parts;
}

// The four numbers of a valid dotted address.
std::optional<std::array<uint8_t, 4>> ReferenceAddress(std::u16string_view text)
{
    const auto parts = ReferenceSplit(text);
    if (parts.size() != 4)
        return std::nullopt;
    std::array<uint8_t, 4> bytes{};
    for (size_t i = 0; i < 4; ++i) {
        const auto v = reference::StrToInt(parts[i]);
        if (!v || *v < 0 || *v > 255)
            return std::nullopt;
        bytes[i] = uint8_t(*v);
    }
    return bytes;
}

// The collection as the reference sees it: check and store in the order
// local, gateway, mask (DHCP off only), server; stop at the first invalid one.
QString ReferenceCollect(const TNetSettingsTexts &texts, TNetSettings &settings)
{
    struct TStep {
        const QString &Text;
        uint8_t *Field;
        const QString &Message;
    };
    std::vector<TStep> steps;
    if (!texts.Dhcp) {
        steps.push_back({texts.Local, settings.LocalAddr, InvalidLocalIpText});
        steps.push_back({texts.Gateway, settings.GatewayAddr, InvalidGatewayIpText});
        steps.push_back({texts.Mask, settings.SubnetMask, InvalidSubnetMaskText});
    }
    steps.push_back({texts.Server, settings.ServerAddr, InvalidServerIpText});
    for (const TStep &step : steps) {
        const auto bytes = ReferenceAddress(View(step.Text));
        if (!bytes)
            return step.Message;
        std::memcpy(step.Field, bytes->data(), 4);
    }
    settings.DhcpFlag = texts.Dhcp ? 1 : 0;
    return {};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    // First byte: DHCP state and the pattern of the record before the
    // collection; then four texts separated by new lines.
    const QStringList lines =
        QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1)).split(u'\n');
    TNetSettingsTexts texts;
    texts.Dhcp = (data[0] & 1) != 0;
    texts.Local = lines.value(0);
    texts.Server = lines.value(1);
    texts.Gateway = lines.value(2);
    texts.Mask = lines.value(3);

    for (const QString &text : {texts.Local, texts.Server, texts.Gateway, texts.Mask}) {
        const QStringList parts = SplitDotted(text);
        const auto expected = ReferenceSplit(View(text));
        FUZZ_CHECK(size_t(parts.size()) == expected.size());
        for (qsizetype i = 0; i < parts.size(); ++i)
            FUZZ_CHECK(View(parts[i]) == expected[size_t(i)]);
        FUZZ_CHECK(IsValidIP(text) == ReferenceAddress(View(text)).has_value());
    }

    TNetSettings before;
    std::memset(&before, data[0] | 1, sizeof before);
    TNetSettings settings = before;
    TNetSettings expected = before;
    QString message;
    try {
        CollectNetSettings(texts, settings);
    } catch (const ELumoraError &e) {
        message = e.Message();
    }
    FUZZ_CHECK(message == ReferenceCollect(texts, expected));
    FUZZ_CHECK(std::memcmp(&settings, &expected, sizeof settings) == 0);
    return 0;
}
