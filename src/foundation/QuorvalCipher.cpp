// Operator password cipher of the utility library (libsodium AEAD, bound to the operator).
#include "foundation/QuorvalCipher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sodium.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QLatin1StringView kPrefix("SC2:");
const QLatin1StringView kOldPrefix("SC1:");
const char *kKeyFileName = "signal-console.key";

// Key and key file set in code: set and read by the thread that logs in and edits
// the operators (the user-interface thread), or the password tool's only thread.
QByteArray g_key;      // set in code; takes precedence
QString g_keyFile;     // set in code; else environment, else beside the program

// Associated data of a stored text: what it is and whose it is.
QByteArray associatedData(const QString &userId)
{
    return QByteArrayLiteral("SCS_M_USER.USER_PW") + '\0' + userId.toUtf8();
}

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

bool WritePasswordKeyFile(const QString &path, const QByteArray &key, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (key.size() != PasswordKeySize)
        return fail(QStringLiteral("a password key has %1 bytes, not %2").arg(PasswordKeySize).arg(key.size()));
    const QByteArray native = QFile::encodeName(path);
    // Created with mode 0600 in one step: the key is never readable by others, not
    // even for a moment.
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0)
        return fail(QStringLiteral("password key file %1 cannot be created: %2")
                        .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(strerror(errno))));
    // The umask can only narrow the mode; make sure of it all the same.
    ::fchmod(fd, S_IRUSR | S_IWUSR);
    const QByteArray text = PasswordKeyFileText(key);
    const bool written = ::write(fd, text.constData(), size_t(text.size())) == text.size();
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        QFile::remove(path);
        return fail(QStringLiteral("password key file %1 cannot be written").arg(QDir::toNativeSeparators(path)));
    }
    return true;
}

bool PasswordKeyFileIsPrivate(const QString &path, QString *perms)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return true;
    if (perms)
        *perms = QStringLiteral("%1").arg(uint(st.st_mode & 07777), 4, 8, QLatin1Char('0'));
    return (st.st_mode & (S_IRWXG | S_IRWXO)) == 0;
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

QString Encrypt(const QString &userId, const QString &password)
{
    static_assert(crypto_aead_xchacha20poly1305_ietf_KEYBYTES == PasswordKeySize, "key size");
    ensureSodium();
    const QByteArray key = currentKey();
    QByteArray plain = password.toUtf8(); // exactly as typed
    const QByteArray ad = associatedData(userId);
    constexpr qsizetype nonceSize = crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
    QByteArray out(nonceSize + crypto_aead_xchacha20poly1305_ietf_ABYTES + plain.size(), Qt::Uninitialized);
    auto *nonce = reinterpret_cast<unsigned char *>(out.data());
    randombytes_buf(nonce, nonceSize);
    unsigned long long boxSize = 0;
    const int rc = crypto_aead_xchacha20poly1305_ietf_encrypt(
        nonce + nonceSize, &boxSize, reinterpret_cast<const unsigned char *>(plain.constData()),
        quint64(plain.size()), reinterpret_cast<const unsigned char *>(ad.constData()), quint64(ad.size()),
        nullptr, nonce, reinterpret_cast<const unsigned char *>(key.constData()));
    sodium_memzero(plain.data(), size_t(plain.size()));
    if (rc != 0)
        throw EPasswordCipherError(QStringLiteral("the password could not be enciphered"));
    out.resize(nonceSize + qsizetype(boxSize));
    return kPrefix + QString::fromLatin1(out.toBase64());
}

QString Decrypt(const QString &userId, const QString &stored)
{
    ensureSodium();
    const QString s = stored.trimmed();
    if (s.startsWith(kOldPrefix))
        throw EPasswordCipherError(QStringLiteral(
            "the stored password is in the older form that is not bound to its operator; set it again"));
    if (!s.startsWith(kPrefix))
        throw EPasswordCipherError(QStringLiteral("the stored password is not an enciphered text"));
    const auto decoded = QByteArray::fromBase64Encoding(s.mid(kPrefix.size()).toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        throw EPasswordCipherError(QStringLiteral("the stored password is malformed"));
    const QByteArray box = *decoded;
    constexpr qsizetype nonceSize = crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
    const qsizetype minSize = nonceSize + crypto_aead_xchacha20poly1305_ietf_ABYTES;
    if (box.size() < minSize)
        throw EPasswordCipherError(QStringLiteral("the stored password is malformed"));
    const QByteArray key = currentKey();
    const QByteArray ad = associatedData(userId);
    QByteArray plain(box.size() - minSize, Qt::Uninitialized);
    unsigned long long plainSize = 0;
    const auto *nonce = reinterpret_cast<const unsigned char *>(box.constData());
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(
            reinterpret_cast<unsigned char *>(plain.data()), &plainSize, nullptr, nonce + nonceSize,
            quint64(box.size() - nonceSize), reinterpret_cast<const unsigned char *>(ad.constData()),
            quint64(ad.size()), nonce, reinterpret_cast<const unsigned char *>(key.constData()))
        != 0)
        throw EPasswordCipherError(QStringLiteral(
            "the stored password does not open with this key for this operator "
            "(wrong key, another operator's text or altered text)"));
    const QString result = QString::fromUtf8(plain.constData(), qsizetype(plainSize));
    sodium_memzero(plain.data(), size_t(plain.size()));
    return result;
}

QString DecryptByLockBox(const QString &userId, const QString &stored)
{
    return Decrypt(userId, stored);
}

bool TryDecrypt(const QString &userId, const QString &stored, QString *password, QString *error)
{
    try {
        const QString p = Decrypt(userId, stored);
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
