#include "platform/password_hash.h"

#include <crypt.h>

#include <cstring>
#include <memory>

namespace grainlink {

bool PasswordMatchesHash(const QByteArray& password, const QByteArray& hash)
{
    if (password.contains('\0') || hash.isEmpty()) return false;
    auto data = std::make_unique<crypt_data>();
    const char* computed = crypt_rn(password.constData(), hash.constData(), data.get(),
                                    static_cast<int>(sizeof(crypt_data)));
    // libcrypt returns a string starting with "*" for a hash it cannot read.
    if (computed == nullptr || computed[0] == '*') return false;
    const size_t length = std::strlen(computed);
    if (length != static_cast<size_t>(hash.size())) return false;
    unsigned char difference = 0;  // the whole string, whatever differs first
    for (size_t i = 0; i < length; ++i)
        difference |= static_cast<unsigned char>(computed[i] ^ hash[static_cast<qsizetype>(i)]);
    return difference == 0;
}

}  // namespace grainlink
