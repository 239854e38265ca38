#include "platform/Ordinateur.h"

#include <gtest/gtest.h>

namespace {

TEST(Ordinateur, NomDepuisLeNomDHote) {
  struct Cas {
    std::string hote, nom;
  };
  const Cas cas[] = {
      {"poste12", "POSTE12"},
      {"poste12.salle-b.lycee.fr", "POSTE12"},  // the first label only
      {"un-nom-bien-trop-long-pour-netbios", "UN-NOM-BIEN-TRO"},
      {"exactementquinze", "EXACTEMENTQUINZ"},
      {"Salle_3", "SALLE_3"},
      {"", "ORDINATEUR"},
      {".local", "ORDINATEUR"},
      {"caf\xC3\xA9", "CAF\xE9"},  // UTF-8 to 1252; only ASCII letters change case
      {"a\tb", "A?B"},              // the name goes into tab-separated lines
  };
  for (const auto& c : cas) EXPECT_EQ(NomOrdinateurDepuis(c.hote), c.nom) << c.hote;
}

TEST(Ordinateur, NomDeCetOrdinateur) {
  const std::string nom = GetComputerNameA();
  EXPECT_FALSE(nom.empty());
  EXPECT_LE(nom.size(), 15u);
  EXPECT_EQ(nom.find('.'), std::string::npos);
  for (char c : nom) EXPECT_FALSE(c >= 'a' && c <= 'z') << nom;
}

}  // namespace
