#include "player/fenetres/KorPref.h"

#include <QCheckBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <exception>

#include "cards/KorInit.h"
#include "cards/KorOutils.h"
#include "platform/Ansi.h"
#include "platform/Erreur.h"
#include "player/fenetres/KorFenetreJeu.h"

namespace {

std::string Ansi(const QLineEdit* edition) { return ansi::DepuisQString(edition->text()); }

QLineEdit* Champ(QVBoxLayout* disposition, QWidget* parent, const QString& libelle) {
  auto* etiquette = new QLabel(libelle, parent);
  etiquette->setTextFormat(Qt::PlainText);
  disposition->addWidget(etiquette);
  auto* edition = new QLineEdit(parent);
  disposition->addWidget(edition);
  return edition;
}

QLabel* Remarque(QWidget* parent, const QString& texte) {
  auto* remarque = new QLabel(texte, parent);
  remarque->setTextFormat(Qt::PlainText);
  QFont italique = remarque->font();
  italique.setItalic(true);
  remarque->setFont(italique);
  return remarque;
}

}  // namespace

TMessageTest MessageEchecTest(EGenreEchec genre, const std::string& hote, const std::string& texte) {
  switch (genre) {
    case EGenreEchec::ConnexionRefusee:
      return {"La Feuille de Notes n'est pas exécutée sur l'ordinateur \""_a + hote + "\".", true};
    case EGenreEchec::HoteIntrouvable:
      return {"L'ordinateur \""_a + hote + "\" n'est pas sur le réseau."_a, false};
    case EGenreEchec::AccesRefuse:
      return {"L'accès au réseau est interdit (probablement par le pare-feu)."_a, false};
    case EGenreEchec::DelaiConnexion:
      return {"Temps de connexion dépassé."_a, false};
    case EGenreEchec::ErreurSocket:
    case EGenreEchec::DelaiReponse:
    case EGenreEchec::FermetureServeur:
      break;
  }
  return {texte, false};
}

TFormPreferences::TFormPreferences(TForm1& fenetre) : QDialog(&fenetre), FFenetre(fenetre) {
  setWindowTitle(QStringLiteral("Préférences"));
  setModal(true);
  auto* disposition = new QVBoxLayout(this);
  PageControl1 = new QTabWidget(this);
  disposition->addWidget(PageControl1);

  auto* messages = new QWidget;
  auto* dMessages = new QVBoxLayout(messages);
  Egood = Champ(dMessages, messages, QStringLiteral("Commentaire de fin de partie si le score dépasse le seuil :"));
  Ebad = Champ(dMessages, messages, QStringLiteral("Commentaire de fin de partie si le score est en deçà du seuil :"));
  EMean = Champ(dMessages, messages,
                QStringLiteral("Commentaire de fin de partie si le score est à peu près égal au seuil :"));
  dMessages->addStretch();
  PageControl1->addTab(messages, QStringLiteral("Messages"));

  auto* options = new QWidget;
  auto* dOptions = new QVBoxLayout(options);
  Eor = Champ(dOptions, options, QStringLiteral("Conjonction (entre les réponses) :"));
  Exdelim = Champ(dOptions, options, QStringLiteral("Ponctuation (délimiteurs de mots) :"));
  Eignor = Champ(dOptions, options, QStringLiteral("Mots ignorés lorsque l'option \"mot à mot\" est désactivée :"));
  LRemOptions = Remarque(options, QStringLiteral("Ces options sont celles par défaut.\n"
                                                 "Elles sont outrepassées par celles du questionnaire."));
  LRemOptions->setAlignment(Qt::AlignCenter);
  dOptions->addWidget(LRemOptions);
  dOptions->addStretch();
  PageControl1->addTab(options, QStringLiteral("Options"));

  auto* feuille = new QWidget;
  auto* dFeuille = new QVBoxLayout(feuille);
  auto* lHote = new QLabel(
      QStringLiteral("Nom de l'ordinateur sur lequel la Feuille de Notes (KorServer) est exécutée :"), feuille);
  lHote->setTextFormat(Qt::PlainText);
  dFeuille->addWidget(lHote);
  auto* ligneHote = new QHBoxLayout;
  EHost = new QLineEdit(feuille);
  BTestCon = new QPushButton(QStringLiteral("Test"), feuille);
  BTestCon->setAutoDefault(false);
  ligneHote->addWidget(EHost, 1);
  ligneHote->addWidget(BTestCon);
  dFeuille->addLayout(ligneHote);
  LRemHote = Remarque(feuille, QStringLiteral("Cet ordinateur => entrez \"localhost\".  Aucun => laissez le champ vide."));
  dFeuille->addWidget(LRemHote);
  CBMaxHun = new QCheckBox(QStringLiteral("Noter les parties complètes sur 100"), feuille);
  CBRepUnf = new QCheckBox(QStringLiteral("Rapporter aussi les parties interrompues"), feuille);
  dFeuille->addWidget(CBMaxHun);
  dFeuille->addWidget(CBRepUnf);
  dFeuille->addStretch();
  PageControl1->addTab(feuille, QStringLiteral("Feuille de Notes"));

  auto* affichage = new QWidget;
  auto* dAffichage = new QVBoxLayout(affichage);
  auto* lPolice = new QLabel(QStringLiteral("Police d'affichage des champs :"), affichage);
  dAffichage->addWidget(lPolice);
  auto* lignePolice = new QHBoxLayout;
  EPolice = new QLineEdit(affichage);
  EPolice->setReadOnly(true);
  BPolice = new QPushButton(QStringLiteral("Définir"), affichage);
  BPolice->setAutoDefault(false);
  lignePolice->addWidget(EPolice, 1);
  lignePolice->addWidget(BPolice);
  dAffichage->addLayout(lignePolice);
  CBMenuFichier = new QCheckBox(QStringLiteral("Menu \"Fichier\" visible pendant la partie"), affichage);
  CBMenuPartie = new QCheckBox(QStringLiteral("Menu \"Partie\" visible pendant la partie"), affichage);
  dAffichage->addWidget(CBMenuFichier);
  dAffichage->addWidget(CBMenuPartie);
  dAffichage->addStretch();
  PageControl1->addTab(affichage, QStringLiteral("Affichage"));

  auto* bas = new QHBoxLayout;
  bas->addStretch();
  BOK = new QPushButton(QStringLiteral("OK"), this);
  BOK->setDefault(true);
  BAnnuler = new QPushButton(QStringLiteral("Annuler"), this);
  BAnnuler->setAutoDefault(false);
  bas->addWidget(BOK);
  bas->addWidget(BAnnuler);
  disposition->addLayout(bas);
  connect(BOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(BAnnuler, &QPushButton::clicked, this, &QDialog::reject);

  for (QLineEdit* e : {Egood, Ebad, EMean, Eor, Exdelim, Eignor, EHost})
    connect(e, &QLineEdit::textChanged, this, &TFormPreferences::EditeurChange);
  for (QCheckBox* c : {CBMaxHun, CBRepUnf, CBMenuFichier, CBMenuPartie})
    connect(c, &QCheckBox::toggled, this, &TFormPreferences::EditeurChange);
  connect(BPolice, &QPushButton::clicked, this, &TFormPreferences::BPoliceClick);
  connect(BTestCon, &QPushButton::clicked, this, &TFormPreferences::BTestConClick);

  DialoguePolice = [this](QFont& police) {
    bool ok = false;
    const QFont choisie = QFontDialog::getFont(&ok, police, this, QStringLiteral("Police"));
    if (ok) police = choisie;
    return ok;
  };
  setFixedSize(520, 330);
}

bool TFormPreferences::Execute() {
  TReglages& r = Reglages();
  // The filling's own change notifications do not count: FormShow clears the flags after it.
  Eor->setText(ansi::VersQString(r.Conjonction));
  Exdelim->setText(ansi::VersQString(r.Ponctuation));
  Eignor->setText(ansi::VersQString(r.MotsIgnores));
  Egood->setText(ansi::VersQString(r.MessageBon));
  Ebad->setText(ansi::VersQString(r.MessageMauvais));
  EMean->setText(ansi::VersQString(r.MessageMoyen));
  EHost->setText(ansi::VersQString(r.HoteFeuilleNotes));
  CBMaxHun->setChecked(r.NoteSur100);
  CBRepUnf->setChecked(r.RapporteInterrompues);
  EPolice->setFont(FFenetre.ETitre->font());
  EPolice->setText(EPolice->font().family());
  CBMenuFichier->setChecked(r.MenuFichierEnPartie);
  CBMenuPartie->setChecked(r.MenuPartieEnPartie);

  if (exec() != QDialog::Accepted) return false;

  r.MessageBon = Ansi(Egood);
  r.MessageMauvais = Ansi(Ebad);
  r.MessageMoyen = Ansi(EMean);
  r.HoteFeuilleNotes = Rogne(Ansi(EHost));
  r.NoteSur100 = CBMaxHun->isChecked();
  r.RapporteInterrompues = CBRepUnf->isChecked();
  r.Conjonction = SansEspaces(Ansi(Eor));
  r.Ponctuation = SansEspaces(Ansi(Exdelim));
  r.MotsIgnores = Ansi(Eignor);
  if (PoliceModifiee) {
    const QFont police = EPolice->font();
    r.PoliceChamps = ansi::DepuisQString(police.family());
    r.TaillePoliceChamps = police.pointSize() > 0 ? police.pointSize() : QFontInfo(police).pointSize();
    FFenetre.AppliquePolice();
  }
  r.MenuFichierEnPartie = CBMenuFichier->isChecked();
  r.MenuPartieEnPartie = CBMenuPartie->isChecked();
  FFenetre.PreferencesModifiees = true;
  return true;
}

void TFormPreferences::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Modifie = false;
  PoliceModifiee = false;
  if (FPremierAffichage) {
    FPremierAffichage = false;
    BAnnuler->setFocus();
  }
}

void TFormPreferences::done(int resultat) {
  // OK without any change counts as Cancel.
  if (resultat == QDialog::Accepted && !Modifie && !PoliceModifiee) resultat = QDialog::Rejected;
  QDialog::done(resultat);
}

void TFormPreferences::EditeurChange() { Modifie = true; }

void TFormPreferences::BPoliceClick() {
  QFont police = EPolice->font();
  // The dialog opens on the family the fields show, which is another one when the family asked
  // for is not installed: OK without a choice then keeps the fields as they are.
  police.setFamily(QFontInfo(police).family());
  if (!DialoguePolice(police)) return;
  EPolice->setFont(police);
  EPolice->setText(police.family());
  PoliceModifiee = true;
}

void TFormPreferences::BTestConClick() {
  const std::string hote = Rogne(Ansi(EHost));
  if (hote.empty()) {
    FFenetre.Boite(QMessageBox::Warning,
                   QStringLiteral("Pour utiliser la Feuille de Notes, vous devez indiquer\n"
                                  "le nom de l'ordinateur où elle est exécutée."));
    return;
  }
  FFenetre.TCPClient.Hote = hote;
  TClientResultats client = FFenetre.TCPClient;
  client.NomOrdinateurLocal = FFenetre.NomOrdinateurLocal;
  TMessageTest echec;
  try {
    TesteConnexion(client);
    FFenetre.Boite(QMessageBox::Information, QStringLiteral("Connexion établie avec la Feuille de Notes."));
    return;
  } catch (const EErreurResultats& e) {
    echec = MessageEchecTest(e.Genre, hote, e.Message());
  } catch (const EErreur& e) {
    echec = {e.Message(), false};
  } catch (const std::exception& e) {
    echec = {ansi::DepuisQString(QString::fromLocal8Bit(e.what())), false};
  }
  FFenetre.Boite(echec.Avertissement ? QMessageBox::Warning : QMessageBox::Critical, ansi::VersQString(echec.Texte));
}
