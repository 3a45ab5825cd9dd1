#include "lock/PasswordCheck.h"

#include <QCryptographicHash>

#include <array>
#include <cstdint>

namespace {

constexpr std::array<std::uint8_t, 16> salt = {
    0x19, 0x22, 0xd0, 0xa9, 0xbc, 0x40, 0xdd, 0xe7, 0x15, 0x55, 0x41, 0x17, 0xbe, 0xf9, 0x7e, 0x33};

constexpr std::array<std::uint8_t, 32> rightPairDigest = {0x8c, 0x5c, 0x83, 0x32, 0x7a, 0x49, 0x4e,
    0x02, 0x4d, 0x2d, 0xdd, 0xd4, 0x4a, 0xdd, 0x64, 0xc0, 0xaf, 0xd8, 0xb9, 0x67, 0x92, 0x0b, 0xf6,
    0xe3, 0x2a, 0x46, 0x50, 0xd5, 0x7a, 0x7c, 0x18, 0x30};

void addLittleEndian(QCryptographicHash& hash, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        const char byte = char(std::uint8_t(value >> (8 * i)));
        hash.addData(QByteArrayView(&byte, 1));
    }
}

// Each text goes in as its UTF-16 code units behind its length, so no other
// split of the same characters between name and password hashes alike, and
// no text conversion can make two different texts equal.
void addText(QCryptographicHash& hash, const QString& text)
{
    addLittleEndian(hash, std::uint64_t(text.size()), 8);
    for (const QChar ch : text)
        addLittleEndian(hash, ch.unicode(), 2);
}

} // namespace

bool isRightPair(const QString& userName, const QString& password)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(
        QByteArrayView(reinterpret_cast<const char*>(salt.data()), qsizetype(salt.size())));
    addText(hash, userName);
    addText(hash, password);
    const QByteArray digest = hash.result();
    if (digest.size() != qsizetype(rightPairDigest.size()))
        return false;
    // Every byte is compared, whatever the first difference, so the time taken
    // does not tell how close a guess came.
    unsigned difference = 0;
    for (std::size_t i = 0; i < rightPairDigest.size(); ++i)
        difference |= unsigned(std::uint8_t(digest[qsizetype(i)]) ^ rightPairDigest[i]);
    return difference == 0;
}
