// Protection of stored passwords (settings and site passwords) with the user's key of the
// platform's crypto provider, or with a pass phrase for site passwords. Every function opens and
// releases the provider itself, and reports any failure by an empty result.
#pragma once

#include "util/text.h"

// Opens the key container, creating it and its key-exchange pair when missing.
[[nodiscard]] bool EnsureKeyContainer() noexcept;

// An empty text stays empty both ways.
Text ProtectText(TextView text) noexcept;
Text UnprotectText(TextView protectedText) noexcept;

// The password is bound to src: it only comes back for the same src. With a stored pass phrase
// (itself protected by ProtectText) the password is protected with that phrase instead of the
// user's key, and each form only comes back in the same setting.
Text ProtectSitePassword(TextView password, TextView src, TextView storedPassPhrase) noexcept;
Text UnprotectSitePassword(TextView protectedText, TextView src, TextView storedPassPhrase) noexcept;
