#pragma once
// Qt's own texts (standard buttons, standard dialogs, socket errors) in French, from the
// translations that Debian ships with Qt (package qt6-translations-l10n).

// Installs Qt's French translations in the running application, once; false when they are not
// found (Qt's texts then stay in English).
bool ChargeTraductionsQt();
