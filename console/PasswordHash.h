#pragma once
// Passwords are kept as a salted PBKDF2-HMAC-SHA256 digest, never as text:
//   pbkdf2-sha256$<iterations>$<salt base64>$<digest base64>

#include <QString>

// A fresh salt every call, so two users with one password get different text.
QString HashPassword(const QString &password);
// False for a wrong password and for stored text that is not a hash we wrote.
bool VerifyPassword(const QString &password, const QString &stored);

// Exposed for the tests' known-answer vectors.
QByteArray Pbkdf2HmacSha256(const QByteArray &password, const QByteArray &salt, int iterations, int length);
