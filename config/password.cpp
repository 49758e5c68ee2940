#include "config/password.h"

namespace grainlink {
namespace {

constexpr unsigned kShift = 128;

}  // namespace

std::optional<QByteArray> EncodePassword(const QByteArray& plain)
{
    QByteArray stored;
    stored.reserve(plain.size());
    for (const char c : plain) {
        const auto code = static_cast<unsigned char>(c);
        if (code >= kShift) return std::nullopt;
        stored += static_cast<char>(code + kShift);
    }
    return stored;
}

DecodedPassword DecodePassword(const QByteArray& stored)
{
    DecodedPassword result;
    for (const char c : stored) {
        const auto code = static_cast<unsigned char>(c);
        if (code < kShift)
            ++result.undecodable;
        else
            result.plain += static_cast<char>(code - kShift);
    }
    return result;
}

}  // namespace grainlink
