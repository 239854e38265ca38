#pragma once
// The user's locale: string comparison by its collation, and its list separator.

#include <array>
#include <string>
#include <string_view>
#include <vector>

// Result of CompareStringA: 1 less, 2 equal, 3 greater; 0 when the comparison fails.
inline constexpr int CSTR_LESS_THAN = 1;
inline constexpr int CSTR_EQUAL = 2;
inline constexpr int CSTR_GREATER_THAN = 3;

// Compares two 1252 texts over their whole length with the collation of the user's locale
// (its collation category; "C" or "POSIX" take the common Unicode collation, not the codes' order).
// Accents are always told apart; case only when ignoreCasse is false. Texts are equal only when
// the collation cannot tell them apart: with case told apart, that means texts that differ at
// most by characters it ignores (control characters, soft hyphen). Safe from any thread.
int CompareStringA(std::string_view a, std::string_view b, bool ignoreCasse = false);

// The capital of each 1252 byte in the user's locale: a character whose capital is not one 1252
// character (or that has none) stays as it is. Safe from any thread.
const std::array<unsigned char, 256>& TableMajuscules();
// A 1252 text in capitals, character by character, by that table.
std::string MajusculesLocale(std::string_view texte);
// The stable order of the texts by CompareStringA with case told apart: the indices of textes,
// first to last. Each text's collation key is computed once, so that a large list sorts in the
// time of a plain sort of keys. Safe from any thread.
std::vector<std::size_t> OrdreLocale(const std::vector<std::string_view>& textes);
// A key of the text for equality by CompareStringA: two texts have the same key exactly when
// CompareStringA(a, b, ignoreCasse) says CSTR_EQUAL, so that texts can be looked up by hash
// rather than compared pair by pair. Safe from any thread.
std::string CleLocale(std::string_view texte, bool ignoreCasse);

// The locale's list separator: ";" where the decimal point is ",", else ",".
std::string SeparateurListeLocale();

// The locale used by both, by name ("fr_FR"); empty = the user's locale (from the environment).
// Tests fix it so that they do not depend on the machine.
void FixeLocale(const std::string& nom);
