#pragma once

class QTranslator;

namespace torvel {

// Installs Qt's own texts in the desktop's language (the file dialogs, the message boxes'
// buttons, the names of keys such as "Strg" and "Entf"), from Qt's translations folder. Returns
// the translator, owned by the application, or none for English or a language Qt lacks.
QTranslator* LoadQtTranslation();

}  // namespace torvel
