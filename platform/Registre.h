#pragma once
// The settings key: flat named values (text, signed 32-bit integer, Boolean as 0/1) kept in an
// INI file in the user's config folder ($ORVALINE_REGISTRE names another file; tests always do).
// Each write goes to the file at once and touches only its own value, so the last writer of a
// value wins and values written by another program survive.
// The key "Software\Orvaline" (the only one; case and slash direction do not matter) is the file
// itself, its values in the [General] section: deleting the key deletes the file. Integers are
// kept as decimal text, so a text value that holds a decimal integer also reads as one.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class QSettings;

class TRegistre {
 public:
  TRegistre();
  ~TRegistre();
  TRegistre(const TRegistre&) = delete;
  TRegistre& operator=(const TRegistre&) = delete;

  // Opens the key ("Software\Orvaline"), creating it if need be; false when that fails.
  bool OuvreCle(const std::string& cle, bool creer = true);
  void FermeCle();
  // A write since the key was opened did not reach the file (a read-only file or folder, a full
  // disk). Still known after FermeCle, until the key is opened again.
  bool EchecEcriture() const { return FEchecEcriture; }
  bool ValeurExiste(const std::string& nom) const;
  // Texts are 1252 in memory, UTF-8 in the file. Absent: nullopt. A text is cut at its first NUL.
  std::optional<std::string> LitTexte(const std::string& nom) const;
  // Absent, or not an integer: nullopt.
  std::optional<std::int32_t> LitEntier(const std::string& nom) const;
  // Any integer other than 0 is true. Absent, or not an integer: nullopt.
  std::optional<bool> LitBooleen(const std::string& nom) const;
  void EcritTexte(const std::string& nom, const std::string& valeur);
  // File-system paths (UTF-8) taken and stored as they are: through 1252 a character that 1252
  // lacks would come back as '?'. Cut at the first NUL like the texts.
  std::optional<std::string> LitTexteUtf8(const std::string& nom) const;
  void EcritTexteUtf8(const std::string& nom, const std::string& valeurUtf8);
  void EcritEntier(const std::string& nom, std::int32_t valeur);
  void EcritBooleen(const std::string& nom, bool valeur);  // written as 0 or 1
  void SupprimeValeur(const std::string& nom);           // no error when absent
  // Deletes a whole key with its values.
  static bool SupprimeCle(const std::string& cle);
  // Whether a key is there (something stands where its file should be).
  static bool CleExiste(const std::string& cle);
  // The file behind the store.
  static std::string CheminFichier();

 private:
  // Writes what changed to the file, noting a failure.
  void Enregistre();

  std::unique_ptr<QSettings> FReglages;
  std::string FGroupe;
  bool FEchecEcriture = false;
};
