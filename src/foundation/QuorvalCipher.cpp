// Operator password cipher of the utility library (libsodium crypto_secretbox).
#include "foundation/QuorvalCipher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sodium.h>

#include <cctype>
#include <mutex>

namespace {

const QLatin1StringView kPrefix("SC1:");
const char *kKeyFileName = "signal-console.key";

// Key and key file set in code: set and read by the thread that logs in and edits
// the operators (the user-interface thread), or the password tool's only thread.
QByteArray g_key;      // set in code; takes precedence
QString g_keyFile;     // set in code; else environment, else beside the program

void ensureSodium()
{
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] { ok = sodium_init() >= 0; });
    if (!ok)
        throw EPasswordCipherError(QStringLiteral("the crypto library could not be started"));
}

QString defaultKeyFile()
{
    const QString env = qEnvironmentVariable("SC_PASSWORD_KEY_FILE");
    if (!env.isEmpty())
        return env;
    const QString dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                     : QDir::currentPath();
    return QDir(dir).filePath(QLatin1StringView(kKeyFileName));
}

QByteArray currentKey()
{
    if (!g_key.isEmpty())
        return g_key;
    const QString file = g_keyFile.isEmpty() ? defaultKeyFile() : g_keyFile;
    QByteArray key;
    QString error;
    if (!LoadPasswordKeyFile(file, &key, &error))
        throw EPasswordCipherError(error);
    return key;
}

} // namespace

QString PasswordKeyFile()
{
    return g_keyFile.isEmpty() ? defaultKeyFile() : g_keyFile;
}

void SetPasswordKeyFile(const QString &path)
{
    g_keyFile = path;
}

void SetPasswordKey(const QByteArray &key)
{
    if (key.size() != PasswordKeySize)
        throw EPasswordCipherError(
            QStringLiteral("a password key has %1 bytes, not %2").arg(PasswordKeySize).arg(key.size()));
    g_key = key;
}

void ResetPasswordKey()
{
    if (!g_key.isEmpty())
        sodium_memzero(g_key.data(), size_t(g_key.size()));
    g_key.clear();
    g_keyFile.clear();
}

bool LoadPasswordKeyFile(const QString &path, QByteArray *key, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    QFile f(path);
    if (!f.exists())
        return fail(QStringLiteral("password key file %1 is missing").arg(QDir::toNativeSeparators(path)));
    if (!f.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("password key file %1 cannot be read: %2")
                        .arg(QDir::toNativeSeparators(path), f.errorString()));
    const QByteArray raw = f.read(4096);
    QByteArray k;
    if (raw.size() == PasswordKeySize) {
        k = raw;
    } else {
        QByteArray hex;
        for (char c : raw)
            if (!QChar::isSpace(uchar(c)))
                hex.append(c);
        bool allHex = hex.size() == 2 * PasswordKeySize;
        for (char c : hex)
            allHex = allHex && std::isxdigit(uchar(c));
        if (!allHex)
            return fail(QStringLiteral("password key file %1 does not hold a %2-byte key "
                                       "(64 hexadecimal digits)")
                            .arg(QDir::toNativeSeparators(path))
                            .arg(PasswordKeySize));
        k = QByteArray::fromHex(hex);
    }
    if (key)
        *key = k;
    return true;
}

QByteArray GeneratePasswordKey()
{
    ensureSodium();
    QByteArray k(PasswordKeySize, Qt::Uninitialized);
    crypto_secretbox_keygen(reinterpret_cast<unsigned char *>(k.data()));
    return k;
}

QByteArray PasswordKeyFileText(const QByteArray &key)
{
    return key.toHex() + '\n';
}

QString Encrypt(const QByteArray &passwordUtf8)
{
    static_assert(crypto_secretbox_KEYBYTES == PasswordKeySize, "key size");
    ensureSodium();
    const QByteArray key = currentKey();
    QByteArray out(crypto_secretbox_NONCEBYTES + crypto_secretbox_MACBYTES + passwordUtf8.size(),
                   Qt::Uninitialized);
    auto *nonce = reinterpret_cast<unsigned char *>(out.data());
    randombytes_buf(nonce, crypto_secretbox_NONCEBYTES);
    if (crypto_secretbox_easy(nonce + crypto_secretbox_NONCEBYTES,
                              reinterpret_cast<const unsigned char *>(passwordUtf8.constData()),
                              quint64(passwordUtf8.size()), nonce,
                              reinterpret_cast<const unsigned char *>(key.constData()))
        != 0)
        throw EPasswordCipherError(QStringLiteral("the password could not be enciphered"));
    return kPrefix + QString::fromLatin1(out.toBase64());
}

QString Encrypt(const QString &password)
{
    return Encrypt(password.toUtf8());
}

QString Decrypt(const QString &stored)
{
    ensureSodium();
    const QString s = stored.trimmed();
    if (!s.startsWith(kPrefix))
        throw EPasswordCipherError(QStringLiteral("the stored password is not an enciphered text"));
    const auto decoded = QByteArray::fromBase64Encoding(s.mid(kPrefix.size()).toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        throw EPasswordCipherError(QStringLiteral("the stored password is malformed"));
    const QByteArray box = *decoded;
    const qsizetype minSize = crypto_secretbox_NONCEBYTES + crypto_secretbox_MACBYTES;
    if (box.size() < minSize)
        throw EPasswordCipherError(QStringLiteral("the stored password is malformed"));
    const QByteArray key = currentKey();
    QByteArray plain(box.size() - minSize, Qt::Uninitialized);
    const auto *nonce = reinterpret_cast<const unsigned char *>(box.constData());
    if (crypto_secretbox_open_easy(reinterpret_cast<unsigned char *>(plain.data()),
                                   nonce + crypto_secretbox_NONCEBYTES,
                                   quint64(box.size() - crypto_secretbox_NONCEBYTES), nonce,
                                   reinterpret_cast<const unsigned char *>(key.constData()))
        != 0)
        throw EPasswordCipherError(
            QStringLiteral("the stored password does not open with this key (wrong key or altered text)"));
    const QString result = QString::fromUtf8(plain);
    sodium_memzero(plain.data(), size_t(plain.size()));
    return result;
}

QString DecryptByLockBox(const QString &stored)
{
    return Decrypt(stored);
}

bool TryDecrypt(const QString &stored, QString *password, QString *error)
{
    try {
        const QString p = Decrypt(stored);
        if (password)
            *password = p;
        return true;
    } catch (const EUtilityError &e) {
        if (error)
            *error = e.Message();
        if (password)
            password->clear();
        return false;
    }
}
