#include "cli/base/sha1.h"

#include <gcrypt.h>

namespace romtool {

romprog::Sha1Digest Sha1(const std::uint8_t* data, std::size_t size) {
  // Sets libgcrypt up on first use (thread-safe); hashing needs no secure memory.
  static const bool ready = [] {
    gcry_check_version(nullptr);
    gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
    return true;
  }();
  (void)ready;
  romprog::Sha1Digest digest{};
  gcry_md_hash_buffer(GCRY_MD_SHA1, digest.data(), data, size);
  return digest;
}

std::string Sha1Text(const romprog::Sha1Digest& digest) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (std::uint8_t byte : digest) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
  }
  return text;
}

}  // namespace romtool
