#pragma once
// The operator password cipher of the utility library.
#include <QByteArray>
#include <QString>

#include "foundation/QuorvalBase.h"


// ===========================================================================
// Operator password cipher
//
// Stored text: "SC2:" + base64(nonce[24] + XChaCha20-Poly1305 (IETF) of the UTF-8
// password), libsodium's AEAD, with the operator's identifier as associated data: a
// stored text opens only for the operator it was written for, so texts swapped
// between rows are refused. The password is enciphered exactly as typed (blanks
// included). The older form "SC1:" (not bound to an operator) is refused: such a
// row needs its password set again.
//
// The 32-byte key is kept outside the database, in a key file: by default
// "signal-console.key" beside the program, or the file named by the environment
// variable SC_PASSWORD_KEY_FILE; code (tests) may set the file or the key itself.
// Key file: 64 hexadecimal digits (blanks and line ends ignored) or exactly 32 raw
// bytes, readable by its owner only (mode 0600). A missing or malformed key file, a
// wrong key, a text of another operator and a tampered or malformed stored text are
// errors; nothing ever falls back to plain text.
// ===========================================================================

constexpr int PasswordKeySize = 32;
QString Encrypt(const QString &userId, const QString &password);
QString Decrypt(const QString &userId, const QString &stored);
// The second decipher routine of the login. There is one cipher here, so it reads
// the same stored form as Decrypt.
QString DecryptByLockBox(const QString &userId, const QString &stored);
// Non-throwing form.
bool TryDecrypt(const QString &userId, const QString &stored, QString *password,
                QString *error = nullptr);

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
// Creates a new key file holding `key`, readable and writable by its owner only
// (created so, never widened first); refuses to replace an existing file.
bool WritePasswordKeyFile(const QString &path, const QByteArray &key, QString *error = nullptr);
// True when the file is open to its owner only: false (with the permissions found
// in `perms`, e.g. "0644") when its group or others may read, write or run it.
// A missing file is not judged here (true).
bool PasswordKeyFileIsPrivate(const QString &path, QString *perms = nullptr);
