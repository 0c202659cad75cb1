#pragma once

#include "platform/common/MinisignKey.h"

namespace nimbrel {

// The signature check's cryptography on Windows, which has no Ed25519 of its own: SHA-512 from CNG (BCrypt),
// BLAKE2b and the Ed25519 check in standard C++ (platform/common).
const SignatureCheck& cngSignatureCheck();

} // namespace nimbrel
