#include "ReportText.h"

#include <cstring>

namespace nimbrel {

std::string reportQuery(const SystemIdentity& system, const std::string& ieVersion, const std::string& tag,
                        int number, const std::string& description)
{
    // The tag is two fields already: its module, a comma, its procedure.
    const std::size_t comma = tag.find(',');
    const std::string place = comma == std::string::npos
                                  ? encodeField(tag)
                                  : encodeField(tag.substr(0, comma)) + "," + encodeField(tag.substr(comma + 1));
    return encodeField(system.osName) + "," + encodeField(system.osVersion) + "," + encodeField(system.servicePack) +
           "," + encodeField(ieVersion) + "," + place + "," + std::to_string(number) + "," + encodeField(description);
}

std::string encodeField(const std::string& text)
{
    // Unreserved characters, sub-delimiters but the comma, and what a query may hold besides.
    static const char* const allowed = "-._~!$&'()*+;=:@/?";
    static const char* const hex = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        const bool alnum = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (alnum || (c != 0 && std::strchr(allowed, c) != nullptr)) {
            out += ch;
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0xF];
        }
    }
    return out;
}

} // namespace nimbrel
