#pragma once

#include <QByteArray>
#include <QString>

/// Verifies the maker's signature on an update archive: the minisign format (Ed25519, the
/// file either signed whole or pre-hashed with BLAKE2b-512), checked with libsodium.
namespace mendsign {

/// Checks the signature file text \a minisig for the file at \a path against the public key
/// \a publicKey (the base64 line of a minisign public key). Gives an empty text when the
/// signature is good, else why it is refused.
QString refusal(const QString& path, const QByteArray& minisig, const QByteArray& publicKey);

} // namespace mendsign
