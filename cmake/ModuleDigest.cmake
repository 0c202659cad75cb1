# Writes the source that gives the program the SHA-256 of its network module:
#   cmake -DMODULE=<module file> -DOUTPUT=<source> -P ModuleDigest.cmake
file(SHA256 "${MODULE}" digest)
file(WRITE "${OUTPUT}" "// Made by the build (cmake/ModuleDigest.cmake): the network module's SHA-256.
#include \"program/linux/NetworkModule.h\"

const char* nimbrel::program::builtNetworkModuleDigest() { return \"${digest}\"; }
")
