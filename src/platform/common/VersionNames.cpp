#include "VersionNames.h"

namespace nimbrel {

std::uint32_t buildNumber(const VersionRecord& record)
{
    return record.platformId == 1 ? (record.buildField & 0xFFFFu) : record.buildField;
}

std::string osNameOf(const VersionRecord& record)
{
    if (record.platformId == 1) {
        switch (record.minor) {
        case 0:
            return "Microsoft Windows 95";
        case 10:
            return buildNumber(record) < 2183 ? "Microsoft Windows 98" : "Microsoft Windows 98 Second Edition";
        case 90:
            return "Microsoft Windows Millennium Edition";
        default:
            return {};
        }
    }
    if (record.platformId == 2) {
        switch (record.major) {
        case 3:
            return "Microsoft Windows NT 3.51";
        case 4:
            return "Microsoft Windows NT 4.0";
        case 5:
            if (record.minor == 0) return "Microsoft Windows 2000";
            if (record.minor == 1) return "Microsoft Windows XP";
            return "Microsoft Windows Sever 2003";
        default:
            return {};
        }
    }
    return {};
}

std::string osVersionOf(const VersionRecord& record)
{
    return std::to_string(record.major) + "." + std::to_string(record.minor) + "." +
           std::to_string(buildNumber(record));
}

} // namespace nimbrel
