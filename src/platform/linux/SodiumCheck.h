#pragma once

#include "platform/common/MinisignKey.h"

namespace nimbrel {

// The signature check's cryptography from libsodium.
const SignatureCheck& sodiumCheck();

} // namespace nimbrel
