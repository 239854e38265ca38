#pragma once
// Helpers of the exchange tests; the ones of every folder are in tests/Outils.h.

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "cards/KorFichierX.h"
#include "tests/Outils.h"

// The three fields of every card, for comparisons.
inline std::vector<std::array<std::string, 3>> Cartes(const TFichierX& f) {
  std::vector<std::array<std::string, 3>> v;
  for (const auto& c : f.FFiches) v.push_back({c->Champ0, c->Champ1, c->Champ2});
  return v;
}

// A byte string shown with its control characters visible, for failure messages.
inline std::string Visible(const std::string& s) {
  std::string v;
  for (unsigned char c : s) {
    if (c == '\r') v += "\\r";
    else if (c == '\n') v += "\\n";
    else if (c == '\t') v += "\\t";
    else if (c < 32 || c >= 127) {
      char b[8];
      std::snprintf(b, sizeof b, "\\x%02X", c);
      v += b;
    } else v += static_cast<char>(c);
  }
  return v;
}
