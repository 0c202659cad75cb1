#pragma once

#include "core/system/SystemVersion.h"
#include "platform/common/VersionNames.h"

#include <optional>

namespace nimbrel {

// The system's version record from ntdll's RtlGetVersion, which tells the truth on Windows 8.1, 10 and 11 where
// GetVersionEx, without a manifest naming them, reports 6.2. The name comes from the table of the error
// reports, which knows the systems up to Server 2003; a later one has an empty name and its version numbers.
class RtlVersionRecord : public SystemVersion {
public:
    SystemIdentity identify() override;

    // The record as the system gives it; nothing when it cannot be had.
    static std::optional<VersionRecord> read();
};

} // namespace nimbrel
