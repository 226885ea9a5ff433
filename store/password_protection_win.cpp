// Stored passwords on CryptoAPI with the base provider. The byte layout is in protected_blob.cpp;
// this file only drives the provider. Data written by earlier installations must read back, so
// the provider, algorithms and default key lengths are fixed here, not negotiated.
#include "store/password_protection.h"

#include <windows.h>
#include <wincrypt.h>

#include <optional>
#include <string>
#include <string_view>

#include "store/protected_blob.h"
#include "util/code_page.h"
#include "util/unique_handle_win.h"

namespace {

constexpr wchar_t kContainerName[] = L"pelun";
// The provider counts in DWORDs and pads by a block; stored values are a few hundred bytes, so
// far larger input is refused instead of risking a length that wraps.
constexpr std::size_t kMaxCryptBytes = 1 << 20;

BYTE* Bytes(std::string& bytes) { return reinterpret_cast<BYTE*>(bytes.data()); }
const BYTE* Bytes(std::string_view bytes) { return reinterpret_cast<const BYTE*>(bytes.data()); }

unique_hcryptprov AcquireContainer(DWORD flags) {
  HCRYPTPROV raw = 0;
  if (!::CryptAcquireContextW(&raw, kContainerName, MS_DEF_PROV_W, PROV_RSA_FULL, flags)) return {};
  return unique_hcryptprov(raw);
}

unique_hcryptkey UserKey(HCRYPTPROV provider) {
  HCRYPTKEY raw = 0;
  if (!::CryptGetUserKey(provider, AT_KEYEXCHANGE, &raw)) return {};
  return unique_hcryptkey(raw);
}

// One final call, so that the provider pads the last block; asking first sizes the buffer.
std::optional<std::string> Encrypt(HCRYPTKEY key, std::string_view plain) {
  if (plain.size() > kMaxCryptBytes) return std::nullopt;
  DWORD needed = static_cast<DWORD>(plain.size());
  if (!::CryptEncrypt(key, 0, TRUE, 0, nullptr, &needed, 0) || needed < plain.size()) return std::nullopt;
  std::string buffer(needed, '\0');
  plain.copy(buffer.data(), plain.size());
  DWORD length = static_cast<DWORD>(plain.size());
  if (!::CryptEncrypt(key, 0, TRUE, 0, Bytes(buffer), &length, needed) || length > needed)
    return std::nullopt;
  buffer.resize(length);
  return buffer;
}

// Padding makes every cipher text at least one block long. An empty one is refused here: Wine's
// provider reads the byte before the buffer when asked to finish an empty message.
std::optional<std::string> Decrypt(HCRYPTKEY key, std::string_view cipher) {
  if (cipher.empty() || cipher.size() > kMaxCryptBytes) return std::nullopt;
  std::string buffer(cipher);
  DWORD length = static_cast<DWORD>(buffer.size());
  if (!::CryptDecrypt(key, 0, TRUE, 0, Bytes(buffer), &length) || length > buffer.size())
    return std::nullopt;
  buffer.resize(length);
  return buffer;
}

// A SIMPLEBLOB carries the key bits but not the salt, and the importer gets a zero salt. Windows
// gives a new key a zero salt unless asked otherwise; Wine's provider makes a random one, which
// would leave the blob unreadable. Setting zeros is a no-op on Windows and mends Wine.
bool ClearSalt(HCRYPTKEY key) {
  DWORD saltLength = 0;
  if (!::CryptGetKeyParam(key, KP_SALT, nullptr, &saltLength, 0) || saltLength == 0) return true;
  const std::string zeros(saltLength, '\0');
  return ::CryptSetKeyParam(key, KP_SALT, Bytes(std::string_view(zeros)), 0) != FALSE;
}

// A fresh message key per call, so that the same text never gives the same blob twice.
std::optional<std::string> EncryptWithUserKey(std::string_view plain) {
  const unique_hcryptprov provider = AcquireContainer(0);
  if (!provider) return std::nullopt;
  const unique_hcryptkey userKey = UserKey(provider.get());
  if (!userKey) return std::nullopt;
  HCRYPTKEY raw = 0;
  if (!::CryptGenKey(provider.get(), CALG_RC2, CRYPT_EXPORTABLE, &raw)) return std::nullopt;
  const unique_hcryptkey messageKey(raw);
  if (!ClearSalt(messageKey.get())) return std::nullopt;

  DWORD keyLength = 0;
  if (!::CryptExportKey(messageKey.get(), userKey.get(), SIMPLEBLOB, 0, nullptr, &keyLength))
    return std::nullopt;
  std::string keyBlob(keyLength, '\0');
  if (!::CryptExportKey(messageKey.get(), userKey.get(), SIMPLEBLOB, 0, Bytes(keyBlob), &keyLength) ||
      keyLength > keyBlob.size())
    return std::nullopt;
  keyBlob.resize(keyLength);

  const std::optional<std::string> cipher = Encrypt(messageKey.get(), plain);
  if (!cipher) return std::nullopt;
  return JoinUserKeyBlob(keyBlob, *cipher);
}

std::optional<std::string> DecryptWithUserKey(std::string_view blob) {
  const std::optional<UserKeyBlobParts> parts = SplitUserKeyBlob(blob);
  if (!parts || parts->keyBlob.size() > kMaxCryptBytes) return std::nullopt;
  const unique_hcryptprov provider = AcquireContainer(0);
  if (!provider) return std::nullopt;
  const unique_hcryptkey userKey = UserKey(provider.get());
  if (!userKey) return std::nullopt;
  HCRYPTKEY raw = 0;
  if (!::CryptImportKey(provider.get(), Bytes(parts->keyBlob), static_cast<DWORD>(parts->keyBlob.size()),
                        userKey.get(), 0, &raw))
    return std::nullopt;
  const unique_hcryptkey messageKey(raw);

  // A damaged or foreign blob could carry a key of another cipher; only RC2 was ever written.
  ALG_ID algorithm = 0;
  DWORD algorithmSize = sizeof algorithm;
  if (!::CryptGetKeyParam(messageKey.get(), KP_ALGID, reinterpret_cast<BYTE*>(&algorithm),
                          &algorithmSize, 0) ||
      algorithm != CALG_RC2)
    return std::nullopt;
  return Decrypt(messageKey.get(), parts->cipher);
}

// The key depends on the phrase alone (MD5, default derivation, no random salt), which is what
// lets site passwords move to another machine where the user enters the same phrase.
unique_hcryptkey DerivePassPhraseKey(HCRYPTPROV provider, std::string_view phrase) {
  if (phrase.size() > kMaxCryptBytes) return {};
  HCRYPTHASH rawHash = 0;
  if (!::CryptCreateHash(provider, CALG_MD5, 0, 0, &rawHash)) return {};
  const unique_hcrypthash hash(rawHash);
  if (!::CryptHashData(hash.get(), Bytes(phrase), static_cast<DWORD>(phrase.size()), 0)) return {};
  HCRYPTKEY rawKey = 0;
  if (!::CryptDeriveKey(provider, CALG_RC2, hash.get(), 0, &rawKey)) return {};
  return unique_hcryptkey(rawKey);
}

// The stored phrase is itself protected with the user key. A phrase that does not come back
// fails the call: falling back to the user key would silently change the form.
std::optional<std::string> PassPhraseBytes(TextView storedPassPhrase) {
  const Text phrase = UnprotectText(storedPassPhrase);
  if (phrase.empty()) return std::nullopt;
  return ToSystemCodePage(phrase);
}

// The provider stays open while its key is used: a key must go before its provider.
struct PassPhraseKey {
  unique_hcryptprov provider;
  unique_hcryptkey key;
};

std::optional<PassPhraseKey> OpenPassPhraseKey(TextView storedPassPhrase) {
  const std::optional<std::string> phrase = PassPhraseBytes(storedPassPhrase);
  if (!phrase) return std::nullopt;
  PassPhraseKey opened{AcquireContainer(0), {}};
  if (!opened.provider) return std::nullopt;
  opened.key = DerivePassPhraseKey(opened.provider.get(), *phrase);
  if (!opened.key) return std::nullopt;
  return opened;
}

std::optional<std::string> EncryptWithPassPhrase(std::string_view plain, TextView storedPassPhrase) {
  const std::optional<PassPhraseKey> opened = OpenPassPhraseKey(storedPassPhrase);
  if (!opened) return std::nullopt;
  const std::optional<std::string> cipher = Encrypt(opened->key.get(), plain);
  if (!cipher) return std::nullopt;
  return JoinPassPhraseBlob(*cipher);
}

std::optional<std::string> DecryptWithPassPhrase(std::string_view blob, TextView storedPassPhrase) {
  const std::optional<std::string_view> cipher = SplitPassPhraseBlob(blob);
  if (!cipher) return std::nullopt;
  const std::optional<PassPhraseKey> opened = OpenPassPhraseKey(storedPassPhrase);
  if (!opened) return std::nullopt;
  return Decrypt(opened->key.get(), *cipher);
}

}  // namespace

bool EnsureKeyContainer() noexcept {
  unique_hcryptprov provider = AcquireContainer(0);
  if (!provider && ::GetLastError() == static_cast<DWORD>(NTE_BAD_KEYSET)) {
    provider = AcquireContainer(CRYPT_NEWKEYSET);
    // Another instance may have created it between the two calls.
    if (!provider && ::GetLastError() == static_cast<DWORD>(NTE_EXISTS)) provider = AcquireContainer(0);
  }
  if (!provider) return false;
  HCRYPTKEY raw = 0;
  if (::CryptGetUserKey(provider.get(), AT_KEYEXCHANGE, &raw)) {
    const unique_hcryptkey existing(raw);
    return true;
  }
  // Only a missing pair is made: replacing one that exists but failed to open would make
  // everything protected with it unreadable for good.
  if (::GetLastError() != static_cast<DWORD>(NTE_NO_KEY)) return false;
  if (!::CryptGenKey(provider.get(), AT_KEYEXCHANGE, 0, &raw)) return false;
  const unique_hcryptkey created(raw);
  return true;
}

namespace {

// Every operation reports any failure, an exception included, by an empty text.
template <typename Operation>
Text EmptyOnFailure(Operation operation) noexcept {
  try {
    return operation().value_or(Text());
  } catch (...) {
    return Text();
  }
}

std::optional<Text> Base64OfBlob(const std::optional<std::string>& blob) {
  if (!blob) return std::nullopt;
  return EncodeBase64(*blob);
}

}  // namespace

Text ProtectText(TextView text) noexcept {
  return EmptyOnFailure([&]() -> std::optional<Text> {
    if (text.empty()) return std::nullopt;
    const std::optional<std::string> plain = ToSystemCodePage(text);
    if (!plain) return std::nullopt;
    return Base64OfBlob(EncryptWithUserKey(*plain));
  });
}

Text UnprotectText(TextView protectedText) noexcept {
  return EmptyOnFailure([&]() -> std::optional<Text> {
    if (protectedText.empty()) return std::nullopt;
    const std::optional<std::string> blob = DecodeBase64(protectedText);
    if (!blob) return std::nullopt;
    const std::optional<std::string> plain = DecryptWithUserKey(*blob);
    if (!plain) return std::nullopt;
    return FromSystemCodePage(*plain);
  });
}

Text ProtectSitePassword(TextView password, TextView src, TextView storedPassPhrase) noexcept {
  return EmptyOnFailure([&]() -> std::optional<Text> {
    if (password.empty()) return std::nullopt;
    const std::optional<std::string> srcBytes = ToSystemCodePage(src);
    const std::optional<std::string> passwordBytes = ToSystemCodePage(password);
    if (!srcBytes || !passwordBytes) return std::nullopt;
    const std::optional<std::string> plain = JoinSitePlainBytes(*srcBytes, *passwordBytes);
    if (!plain) return std::nullopt;
    return Base64OfBlob(storedPassPhrase.empty() ? EncryptWithUserKey(*plain)
                                                 : EncryptWithPassPhrase(*plain, storedPassPhrase));
  });
}

Text UnprotectSitePassword(TextView protectedText, TextView src, TextView storedPassPhrase) noexcept {
  return EmptyOnFailure([&]() -> std::optional<Text> {
    if (protectedText.empty()) return std::nullopt;
    const std::optional<std::string> blob = DecodeBase64(protectedText);
    if (!blob) return std::nullopt;
    const std::optional<std::string> plain = storedPassPhrase.empty()
                                                 ? DecryptWithUserKey(*blob)
                                                 : DecryptWithPassPhrase(*blob, storedPassPhrase);
    if (!plain) return std::nullopt;
    return SitePasswordFromPlainBytes(*plain, src);
  });
}
