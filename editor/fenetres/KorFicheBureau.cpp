#include "editor/fenetres/KorFicheBureau.h"

#include <QClipboard>
#include <QFontInfo>
#include <QGuiApplication>
#include <QWidget>

#include "editor/KorFicheCommandes.h"
#include "platform/Ansi.h"

QFont PoliceAffichable(const std::string& nom, std::int32_t taille, int tailleParDefaut,
                       QFont::StyleHint indice) {
  QFont police = QGuiApplication::font();
  police.setStyleHint(indice);
  if (!nom.empty()) police.setFamily(ansi::VersQString(nom));
  police.setPointSize(TaillePoliceAffichee(taille, tailleParDefaut));
  return police;
}

void RetientPolice(const QFont& police, std::string& nom, std::int32_t& taille) {
  nom = ansi::DepuisQString(police.family());
  // A font given in pixels has no point size of its own: the size it is shown at.
  taille = police.pointSize() > 0 ? police.pointSize() : QFontInfo(police).pointSize();
}

void FixeAvantPlan(QWidget& fenetre, bool avantPlan) {
  if (fenetre.windowFlags().testFlag(Qt::WindowStaysOnTopHint) == avantPlan) return;
  const bool visible = fenetre.isVisible();
  const QByteArray geometrie = fenetre.saveGeometry();
  const Qt::WindowStates etat = fenetre.windowState();
  fenetre.setWindowFlag(Qt::WindowStaysOnTopHint, avantPlan);
  if (!visible) return;
  fenetre.restoreGeometry(geometrie);
  fenetre.setWindowState(etat);
  fenetre.show();
}

void CopiePressePapiers(const std::string& texte) {
  QGuiApplication::clipboard()->setText(ansi::VersQString(texte));
}
