#include "common/serial_port.h"

#include <cctype>
#include <charconv>

namespace quelm {

namespace {

std::optional<int> WholeNumber(std::string_view field) {
    int value = 0;
    const auto* end = field.data() + field.size();
    auto [ptr, ec] = std::from_chars(field.data(), end, value);
    if (field.empty() || ec != std::errc{} || ptr != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<Parity> ParityLetter(std::string_view field) {
    if (field.size() != 1) {
        return std::nullopt;
    }
    switch (std::toupper(static_cast<unsigned char>(field[0]))) {
        case 'N':
            return Parity::None;
        case 'E':
            return Parity::Even;
        case 'O':
            return Parity::Odd;
        case 'M':
            return Parity::Mark;
        case 'S':
            return Parity::Space;
        default:
            return std::nullopt;
    }
}

}  // namespace

std::optional<LineSettings> ParseLineSettings(std::string_view text) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const auto comma = text.find(',', start);
        fields.push_back(text.substr(start, comma - start));
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    if (fields.size() != 4) {
        return std::nullopt;
    }
    const auto rate = WholeNumber(fields[0]);
    const auto parity = ParityLetter(fields[1]);
    const auto data = WholeNumber(fields[2]);
    if (!rate || *rate <= 0 || !parity || !data || *data < 5 || *data > 8) {
        return std::nullopt;
    }
    LineSettings s;
    s.rate = *rate;
    s.parity = *parity;
    s.dataBits = *data;
    if (fields[3] == "1") {
        s.stopBits = StopBits::One;
    } else if (fields[3] == "1.5") {
        s.stopBits = StopBits::OneAndHalf;
    } else if (fields[3] == "2") {
        s.stopBits = StopBits::Two;
    } else {
        return std::nullopt;
    }
    return s;
}

}  // namespace quelm
