#include "platform/Registre.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <charconv>
#include <cstdlib>

#include "platform/Ansi.h"

namespace {

// The one key of the suite; like the registry, its name ignores case and the slash direction.
bool EstCleConnue(const std::string& cle) {
  std::string n;
  for (char c : cle) {
    if (c == '/') c = '\\';
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    n += c;
  }
  while (!n.empty() && n.front() == '\\') n.erase(0, 1);
  while (!n.empty() && n.back() == '\\') n.pop_back();
  return n == "software\\orvaline";
}

QString CheminQ() { return QString::fromStdString(TRegistre::CheminFichier()); }

std::string CoupeAuNul(std::string texte) {
  const auto nul = texte.find('\0');
  if (nul != std::string::npos) texte.resize(nul);
  return texte;
}

QString NomQ(const std::string& nom) { return ansi::VersQString(nom); }

// Creates an empty file, and its folders, unless it is there already.
bool CreeFichier(const QString& chemin) {
  const QFileInfo info(chemin);
  if (!QDir().mkpath(info.absolutePath())) return false;
  const int fd = ::open(QFile::encodeName(chemin).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

}  // namespace

TRegistre::TRegistre() = default;

TRegistre::~TRegistre() { FermeCle(); }

std::string TRegistre::CheminFichier() {
  const char* env = std::getenv("ORVALINE_REGISTRE");
  if (env && *env) return env;
  return (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
          QStringLiteral("/Orvaline/Orvaline.ini"))
      .toStdString();
}

bool TRegistre::OuvreCle(const std::string& cle, bool creer) {
  FermeCle();
  FEchecEcriture = false;
  if (!EstCleConnue(cle)) return false;
  // The key is the file: its values sit in the file's [General] section.
  const QString chemin = CheminQ();
  const QFileInfo info(chemin);
  if (info.isDir()) return false;
  if (!info.exists() && (!creer || !CreeFichier(chemin))) return false;
  // A file we may not read would be taken for an empty key, and then overwritten by our writes.
  const int fd = ::open(QFile::encodeName(chemin).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  ::close(fd);
  FReglages = std::make_unique<QSettings>(chemin, QSettings::IniFormat);
  FReglages->sync();  // reads what other programs wrote since this process last looked
  if (FReglages->status() == QSettings::AccessError) {
    FReglages.reset();
    return false;
  }
  return true;
}

void TRegistre::FermeCle() {
  if (!FReglages) return;
  Enregistre();
  FReglages.reset();
}

void TRegistre::Enregistre() {
  FReglages->sync();
  // The opening ruled out an access error: one now comes from a write.
  if (FReglages->status() == QSettings::AccessError) FEchecEcriture = true;
}

bool TRegistre::ValeurExiste(const std::string& nom) const {
  return FReglages && FReglages->contains(NomQ(nom));
}

std::optional<std::string> TRegistre::LitTexte(const std::string& nom) const {
  if (!ValeurExiste(nom)) return std::nullopt;
  const QVariant v = FReglages->value(NomQ(nom));
  // An unquoted comma in a hand-edited file splits the text into a list.
  const QString texte = v.typeId() == QMetaType::QStringList ? v.toStringList().join(QLatin1Char(','))
                                                             : v.toString();
  return CoupeAuNul(ansi::DepuisQString(texte));
}

std::optional<std::int32_t> TRegistre::LitEntier(const std::string& nom) const {
  if (!ValeurExiste(nom)) return std::nullopt;
  const QVariant v = FReglages->value(NomQ(nom));
  switch (v.typeId()) {
    case QMetaType::Int:
      return v.toInt();
    case QMetaType::QString: {
      // The file holds integers as decimal text; anything else is a value of another type.
      const QByteArray t = v.toString().trimmed().toLatin1();
      std::int32_t n = 0;
      const char* fin = t.constData() + t.size();
      const auto [p, ec] = std::from_chars(t.constData(), fin, n);
      if (t.isEmpty() || ec != std::errc() || p != fin) return std::nullopt;
      return n;
    }
    default:
      return std::nullopt;
  }
}

std::optional<bool> TRegistre::LitBooleen(const std::string& nom) const {
  const auto n = LitEntier(nom);
  if (!n) return std::nullopt;
  return *n != 0;
}

void TRegistre::EcritTexte(const std::string& nom, const std::string& valeur) {
  if (!FReglages) return;
  FReglages->setValue(NomQ(nom), ansi::VersQString(CoupeAuNul(valeur)));
  Enregistre();
}

std::optional<std::string> TRegistre::LitTexteUtf8(const std::string& nom) const {
  if (!ValeurExiste(nom)) return std::nullopt;
  const QVariant v = FReglages->value(NomQ(nom));
  const QString texte = v.typeId() == QMetaType::QStringList ? v.toStringList().join(QLatin1Char(','))
                                                             : v.toString();
  return CoupeAuNul(texte.toStdString());
}

void TRegistre::EcritTexteUtf8(const std::string& nom, const std::string& valeurUtf8) {
  if (!FReglages) return;
  FReglages->setValue(NomQ(nom), QString::fromStdString(CoupeAuNul(valeurUtf8)));
  Enregistre();
}

void TRegistre::EcritEntier(const std::string& nom, std::int32_t valeur) {
  if (!FReglages) return;
  FReglages->setValue(NomQ(nom), static_cast<int>(valeur));
  Enregistre();
}

void TRegistre::EcritBooleen(const std::string& nom, bool valeur) { EcritEntier(nom, valeur ? 1 : 0); }

void TRegistre::SupprimeValeur(const std::string& nom) {
  if (!FReglages || !FReglages->contains(NomQ(nom))) return;
  FReglages->remove(NomQ(nom));
  Enregistre();
}

bool TRegistre::SupprimeCle(const std::string& cle) {
  if (!EstCleConnue(cle)) return false;
  const QString chemin = CheminQ();
  if (!QFileInfo(chemin).isFile()) return false;
  {
    // Emptied through QSettings first, so that keys still open in this process forget the values.
    QSettings s(chemin, QSettings::IniFormat);
    s.clear();
    s.sync();
  }
  return QFile::remove(chemin);
}

bool TRegistre::CleExiste(const std::string& cle) {
  return EstCleConnue(cle) && QFileInfo::exists(CheminQ());
}
