#pragma once
// What the programs' windows share to talk to the user: the caption a message box takes from its
// icon, the one-line input box, and file-system paths as Qt shows them.

#include <QMessageBox>
#include <QString>
#include <string>

// "Confirmation", "Avertissement", "Erreur" or "Information", by the box's icon.
QString TitreBoite(QMessageBox::Icon icone);

// The modal one-line input box over parent, pre-filled with texte, with OK and "Annuler";
// true and texte := the typed text on OK, false on Annuler.
bool SaisieLigne(QWidget* parent, const QString& titre, const QString& invite, QString& texte);

// A file-system path (the bytes the system uses) as Qt holds it, and back.
QString VersChemin(const std::string& chemin);
std::string DepuisChemin(const QString& chemin);
