#include "MendSign.h"

#include <QFile>
#include <QList>
#include <sodium.h>

namespace mendsign {
namespace {
// Sizes fixed by the minisign format.
constexpr int kAlgorithm = 2;
constexpr int kKeyId = 8;
constexpr qsizetype kKeyLine = kAlgorithm + kKeyId + crypto_sign_PUBLICKEYBYTES;
constexpr qsizetype kSignatureLine = kAlgorithm + kKeyId + crypto_sign_BYTES;

QByteArray strictBase64(const QByteArray& text)
{
    const auto decoded =
        QByteArray::fromBase64Encoding(text.trimmed(), QByteArray::AbortOnBase64DecodingErrors);
    return decoded ? decoded.decoded : QByteArray();
}

const unsigned char* bytes(const QByteArray& data, qsizetype from = 0)
{
    return reinterpret_cast<const unsigned char*>(data.constData() + from);
}

/// The BLAKE2b-512 digest of the file at \a path, read in pieces; empty when unreadable.
QByteArray digest(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    crypto_generichash_state state;
    crypto_generichash_init(&state, nullptr, 0, crypto_generichash_BYTES_MAX);
    QByteArray piece(1 << 20, Qt::Uninitialized);
    qint64 n;
    while ((n = file.read(piece.data(), piece.size())) > 0)
        crypto_generichash_update(&state, bytes(piece), size_t(n));
    if (n < 0)
        return QByteArray();
    QByteArray out(crypto_generichash_BYTES_MAX, Qt::Uninitialized);
    crypto_generichash_final(&state, reinterpret_cast<unsigned char*>(out.data()), out.size());
    return out;
}
} // namespace

QString refusal(const QString& path, const QByteArray& minisig, const QByteArray& publicKey)
{
    if (sodium_init() < 0)
        return QStringLiteral("libsodium cannot start");
    const QByteArray key = strictBase64(publicKey);
    if (key.size() != kKeyLine || !key.startsWith("Ed"))
        return QStringLiteral("the built-in public key is not a minisign key");

    QList<QByteArray> lines = minisig.split('\n');
    for (QByteArray& line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    static const QByteArray trusted = "trusted comment: ";
    if (lines.size() < 4 || !lines.at(0).startsWith("untrusted comment: ") ||
        !lines.at(2).startsWith(trusted))
        return QStringLiteral("the signature file is malformed");
    const QByteArray signature = strictBase64(lines.at(1));
    const QByteArray global = strictBase64(lines.at(3));
    const bool hashed = signature.startsWith("ED");
    if (signature.size() != kSignatureLine || !(hashed || signature.startsWith("Ed")) ||
        global.size() != crypto_sign_BYTES)
        return QStringLiteral("the signature file is malformed");
    if (signature.mid(kAlgorithm, kKeyId) != key.mid(kAlgorithm, kKeyId))
        return QStringLiteral("the archive is signed with another key");

    const unsigned char* pk = bytes(key, kAlgorithm + kKeyId);
    const unsigned char* sig = bytes(signature, kAlgorithm + kKeyId);
    bool good = false;
    if (hashed) {
        const QByteArray hash = digest(path);
        good = !hash.isEmpty() &&
               crypto_sign_verify_detached(sig, bytes(hash), size_t(hash.size()), pk) == 0;
    } else {
        // The legacy form signs the whole file: map it rather than read it into memory.
        QFile file(path);
        const qint64 size = file.open(QIODevice::ReadOnly) ? file.size() : -1;
        if (size == 0)
            good = crypto_sign_verify_detached(sig, nullptr, 0, pk) == 0;
        else if (uchar* data = size > 0 ? file.map(0, size) : nullptr)
            good = crypto_sign_verify_detached(sig, data, size_t(size), pk) == 0;
    }
    if (!good)
        return QStringLiteral("the signature does not match the archive");

    // The global signature binds the trusted comment to the signature.
    const QByteArray signedText =
        signature.mid(kAlgorithm + kKeyId) + lines.at(2).mid(trusted.size());
    if (crypto_sign_verify_detached(bytes(global), bytes(signedText), size_t(signedText.size()),
                                    pk) != 0)
        return QStringLiteral("the trusted comment does not match its signature");
    return QString();
}

} // namespace mendsign
