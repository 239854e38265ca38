#pragma once
// What the editor's main window asks of the desktop for its preferences and the clipboard: fonts
// that stay readable, the window kept in front, plain text on the clipboard.

#include <QFont>

#include <cstdint>
#include <string>

class QWidget;

// The font a name and size of the settings are shown in. A name the system lacks gives Qt's
// nearest font of that kind (indice); the size is bounded (TaillePoliceAffichee), so that 0, a
// negative or a huge size still gives readable edits.
QFont PoliceAffichable(const std::string& nom, std::int32_t taille, int tailleParDefaut,
                       QFont::StyleHint indice);

// What the settings keep of a chosen font: its name and its size in points.
void RetientPolice(const QFont& police, std::string& nom, std::int32_t& taille);

// Keeps the window in front of the others, or not, without moving or resizing it. Changing the
// flag hides a shown window: it is shown again where it was, in the state it was.
void FixeAvantPlan(QWidget& fenetre, bool avantPlan);

// The clipboard receives this 1252 text as plain text, line breaks as they stand.
void CopiePressePapiers(const std::string& texte);
