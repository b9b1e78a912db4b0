#pragma once
// The operator password cipher of the utility library.
#include <QByteArray>
#include <QString>

#include "foundation/QuorvalBase.h"


// ===========================================================================
// Operator password cipher
//
// Stored text: "SC1:" + base64(nonce[24] + XSalsa20-Poly1305 box of the UTF-8 password),
// libsodium's crypto_secretbox. The 32-byte key is kept outside the database, in a
// key file: by default "signal-console.key" beside the program, or the file named by
// the environment variable SC_PASSWORD_KEY_FILE; code (tests) may set the file or the
// key itself. Key file: 64 hexadecimal digits (blanks and line ends ignored) or exactly
// 32 raw bytes. A missing or malformed key file, a wrong key and a tampered or malformed
// stored text are errors; nothing ever falls back to plain text.
// ===========================================================================

constexpr int PasswordKeySize = 32;
QString Encrypt(const QByteArray &passwordUtf8);
QString Encrypt(const QString &password);
QString Decrypt(const QString &stored);
// The second decipher routine of the login. There is one cipher here, so it reads
// the same stored form as Decrypt.
QString DecryptByLockBox(const QString &stored);
// Non-throwing form.
bool TryDecrypt(const QString &stored, QString *password, QString *error = nullptr);

// The key file in use (SetPasswordKeyFile, else SC_PASSWORD_KEY_FILE, else beside the program).
QString PasswordKeyFile();
void SetPasswordKeyFile(const QString &path); // empty: back to the default lookup
void SetPasswordKey(const QByteArray &key);   // 32 bytes; takes precedence over any file
void ResetPasswordKey();                      // forgets a set key and a set file
// Reads a key file; false with a reason when missing or malformed.
bool LoadPasswordKeyFile(const QString &path, QByteArray *key, QString *error = nullptr);
QByteArray GeneratePasswordKey();
// The key file text of a key (64 hexadecimal digits and a line end).
QByteArray PasswordKeyFileText(const QByteArray &key);
