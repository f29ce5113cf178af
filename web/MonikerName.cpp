#include "web/MonikerName.h"

#include <cstdio>
#include <random>

#include "model/Exception.h"

namespace pavilo {

namespace {

std::string newGuidText()
{
    uint8_t bytes[16];
    try {
        std::random_device device;
        for (size_t i = 0; i < sizeof bytes; i += 4) {
            const uint32_t r = device();
            for (size_t k = 0; k < 4; ++k)
                bytes[i + k] = static_cast<uint8_t>(r >> (8 * k));
        }
    } catch (const std::exception& e) {
        throw Exception(std::string("Cannot create a GUID: ") + e.what());
    }
    bytes[6] = static_cast<uint8_t>((bytes[6] & 0x0F) | 0x40); // version 4
    bytes[8] = static_cast<uint8_t>((bytes[8] & 0x3F) | 0x80); // variant 1
    char text[37];
    std::snprintf(text, sizeof text,
                  "%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x",
                  bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7],
                  bytes[8], bytes[9], bytes[10], bytes[11], bytes[12], bytes[13], bytes[14], bytes[15]);
    return text;
}

} // namespace

std::string NewMonikerName()
{
    return "pvpmon-" + newGuidText();
}

const std::string& MonikerName()
{
    static const std::string name = NewMonikerName();
    return name;
}

std::string RootUrl()
{
    return std::string(kPvpScheme) + "://" + MonikerName() + "/";
}

} // namespace pavilo
